#pragma once

// Runs one of the project's programs as a user would: a separate process, its output and its
// exit status.

#include "tests/support/TemporaryRoot.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <filesystem>
#include <string>
#include <vector>

extern char** environ;

struct ProgramRun {
    int status;
    std::string out;
    std::string err;
};

// Runs `program` with `args`, standard output and error collected through files in `scratch`.
inline ProgramRun runProgram(const std::string& program, std::vector<std::string> args,
                             const std::filesystem::path& scratch) {
    args.insert(args.begin(), program);
    const auto out = scratch / ".out.txt", err = scratch / ".err.txt";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) return {-1, "", "cannot start " + program};
    int status = 0;
    ::waitpid(pid, &status, 0);
    ProgramRun run{WIFEXITED(status) ? WEXITSTATUS(status) : -1, fileBytes(out), fileBytes(err)};
    std::filesystem::remove(out);
    std::filesystem::remove(err);
    return run;
}
