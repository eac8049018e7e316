#pragma once

// The device's shell, standing in for system(3). It runs no real shell: it knows the one command
// a settings panel gives it, "killall SpringBoard", which ends the SpringBoard process of this
// device root (the process that holds the device's SpringBoard lock, see DeviceSpringBoard.h) so
// that the host can start a fresh one.

#include <functional>
#include <string_view>

// Runs `command`; answers its exit status: 0 done, 1 when there was no SpringBoard to end (with a
// log line saying why), 127 for a command this device does not have.
int systemCommand(std::string_view command);

// For hosts: `observer` hears every command and its exit status once it has run (nil to stop).
void setSystemCommandObserver(std::function<void(std::string_view command, int status)> observer);
