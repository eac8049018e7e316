#pragma once

// Keeping the device alive: SpringBoard runs in a child process, and when the settings panel's
// restart ends it (the signal SIGTERM), a fresh SpringBoard starts that loads the tweak anew, as
// the platform's launch daemon starts it again. A script keeps going: its lines reach whichever
// SpringBoard is running, and a fresh one is first given the set-up and "boot" lines seen so far.

#include <functional>
#include <istream>

// Runs `springBoard` in a child process until it ends of its own accord, starting it again after
// each restart, and writes a "respring" event to the trace file descriptor `traceFd` each time.
// With a script (`scriptFd` not -1, read as its lines arrive), each child reads the lines from
// the stream it is given; without one (the window) it is given none. Answers the exit status of
// the last SpringBoard.
int superviseSpringBoard(int scriptFd, int traceFd,
                         const std::function<int(std::istream* script)>& springBoard);
