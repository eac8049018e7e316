#pragma once

// One of the project's programs run as a child process the way a person at a terminal would run
// it with a script typed into it: its standard input is a pipe that takes script lines as they
// are written, its standard output a pipe the trace is read from line by line, and its standard
// error goes to a file. Every wait has a deadline, so a program that hangs fails a check instead
// of stopping it.

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

using Deadline = std::chrono::steady_clock::time_point;

// The moment `seconds` from now.
Deadline deadlineIn(double seconds);

class ChildProcess {
public:
    // Starts `program` with `arguments`; standard error goes to `errorFile`. Throws when the
    // program cannot be started.
    ChildProcess(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                 const std::filesystem::path& errorFile);
    // Ends the program if it still runs (SIGKILL) and collects it.
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    pid_t pid() const { return pid_; }

    // Writes `text` whole to the program's input, reading its output meanwhile so that neither
    // side waits on the other; false when the program stopped reading or the deadline passed.
    bool send(std::string_view text, Deadline deadline);

    // The next whole line of output; nothing at the end of the output or past the deadline.
    std::optional<std::string> readLine(Deadline deadline);

    // Whether the output has ended (the program closed it, normally by ending).
    bool outputEnded() const { return outputEnded_ && pending_.empty(); }

    // Closes the program's input: the end of its script.
    void closeInput();

    // Waits for the program to end: its exit status, 128 + the signal that ended it, or nothing
    // past the deadline.
    std::optional<int> wait(Deadline deadline);

private:
    // Reads what output has arrived, waiting at most until the deadline for some; false when
    // nothing came.
    bool pump(Deadline deadline, bool wantInput);

    pid_t pid_ = -1;
    int input_ = -1;
    int output_ = -1;
    bool outputEnded_ = false;
    std::string pending_;
    std::optional<int> status_;
};
