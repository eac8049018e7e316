#pragma once

// The system log: one line per call, to standard error and to every sink a host attaches (the
// simulator's trace, for one).

#include <functional>
#include <string_view>

// Writes `line` to the system log.
void NSLog(std::string_view line);

using LogSink = std::function<void(std::string_view line)>;

// Adds a sink that receives every later line; returns a handle for removeLogSink.
int addLogSink(LogSink sink);

// Removes the sink with this handle; an unknown handle is ignored.
void removeLogSink(int handle);

// Whether lines also go to standard error (they do unless a host turns it off).
void setLogToStandardError(bool enabled);
