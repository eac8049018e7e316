#pragma once

// One of the project's programs run to its end, as a shell would run it: arguments, a script on
// standard input, standard output wherever the check wants it (a file, the device that is always
// full, a pipe whose reader has gone), standard error collected. It starts with the default
// answer to every signal, whatever the check's own are, and is ended should it outlive its
// deadline.

#include "stress/ChildProcess.h"

#include <filesystem>
#include <string>
#include <vector>

// Where standard output goes.
struct ProgramOutput {
    enum Kind { File, ClosedPipe } kind = File;
    std::filesystem::path file = "/dev/null";  // for File
};

struct ProgramResult {
    int status = -1;     // the exit status; 128 + the signal when one ended it
    bool hung = false;   // still running at the deadline (then killed)
    std::string errors;  // what it wrote on standard error
    // Whether it ended of its own accord with status 0.
    bool succeeded() const { return !hung && status == 0; }
    // The number of lines on standard error.
    int errorLines() const;
};

// Runs `program` with `arguments` and `input` on standard input, until it ends or `deadline`.
// `scratch` is a folder for the input and the errors.
ProgramResult runProgram(const std::filesystem::path& program,
                         const std::vector<std::string>& arguments, const std::string& input,
                         const ProgramOutput& output, const std::filesystem::path& scratch,
                         Deadline deadline);
