#pragma once

// Reading a simulator's trace while it runs, and what the checks measure in it and in the
// process: views in a view dump, resident memory.

#include "stress/ChildProcess.h"

#include <nlohmann/json.hpp>

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

using Event = nlohmann::json;

// Reads events from `child` until `stop` answers true for one, which is returned; every event
// read on the way (the last one too) is appended to `seen`. A line that is not JSON reads as an
// event "not-json" holding the line. Nothing at the end of the output or past the deadline.
std::optional<Event> readEventsUntil(ChildProcess& child, Deadline deadline,
                                     const std::function<bool(const Event&)>& stop,
                                     std::vector<Event>& seen);

// Sends `lines` to the simulator `sim`, then a post of the notification `marker`, and reads its
// trace up to that notification's delivery, appending every event on the way to `seen`: whether
// it got there before the deadline.
bool sendThroughMarker(ChildProcess& sim, const std::string& lines, const std::string& marker,
                       Deadline deadline, std::vector<Event>& seen);

// Starts `program` (corvane-sim) on the device root `root`, with `options` (such as
// --keep-alive) and its script read from this process, and boots it; its standard error goes to
// a file in the root. Nothing when it did not boot within `seconds`.
std::unique_ptr<ChildProcess> bootSpringBoard(const std::filesystem::path& program,
                                              const std::filesystem::path& root,
                                              const std::vector<std::string>& options,
                                              double seconds);

// Whether `event` is the event `name` ("unlocked", "respring", ...).
bool isEvent(const Event& event, std::string_view name);

// Whether `event` is the delivery of the notification `name` in the traced process.
bool isNotification(const Event& event, std::string_view name);

// How many of `events` are the event `name`.
int countEvents(const std::vector<Event>& events, std::string_view name);

// The number of views in the "windows" of a "dump views" event: every window and every view
// beneath it.
int countViews(const Event& windows);

// A figure of process `pid`'s memory in KiB from /proc/PID/status ("VmRSS", all resident memory;
// "RssAnon", the part that is not pages of files), or -1 when it cannot be read (no such
// process, no such line, or a line that is not a figure).
long residentKiB(pid_t pid, std::string_view field = "VmRSS");
