#pragma once

// Which process is the SpringBoard of a device root. The running SpringBoard holds a lock on
// ROOT/var/run/springboard.lock for as long as it lives; the kernel lets the lock go when the
// process ends, however it ends. Whoever asks which process holds it (the panel's restart) gets
// an answer from the process itself, never from a file anyone could have left behind: a stale,
// copied or planted ROOT/var/run/springboard.pid ends nothing. The pid file is still written, for
// people and scripts to read.

#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include <sys/types.h>

// The file under the device root that holds the running SpringBoard's process id.
inline constexpr std::string_view kSpringBoardPidFile = "/var/run/springboard.pid";
// The file under the device root whose lock the running SpringBoard holds.
inline constexpr std::string_view kSpringBoardLockFile = "/var/run/springboard.lock";

namespace DeviceSpringBoard {

// Makes this process the SpringBoard of the current device root: takes the lock and writes the
// pid file, both made exclusively and never through a link. Nothing when done, else the line to
// log (another SpringBoard holds the lock, the folder lies behind a link, ...); the process then
// runs all the same, but no restart can find it.
std::optional<std::string> claim();

// Gives the claim up: removes the pid file when it still names this process, and lets the lock go.
void release();

// The process id of the SpringBoard running on the current device root, or why there is none.
std::variant<pid_t, std::string> running();

}  // namespace DeviceSpringBoard
