#include "stress/ProgramRun.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <fstream>
#include <iterator>
#include <thread>

extern char** environ;

int ProgramResult::errorLines() const {
    return static_cast<int>(std::count(errors.begin(), errors.end(), '\n'));
}

ProgramResult runProgram(const std::filesystem::path& program,
                         const std::vector<std::string>& arguments, const std::string& input,
                         const ProgramOutput& output, const std::filesystem::path& scratch,
                         Deadline deadline) {
    static std::atomic<int> runs{0};
    const std::string tag = std::to_string(::getpid()) + "." + std::to_string(runs++);
    const auto inputFile = scratch / (".run-in." + tag), errorFile = scratch / (".run-err." + tag);
    std::ofstream(inputFile, std::ios::binary) << input;

    int closedPipe[2] = {-1, -1};
    if (output.kind == ProgramOutput::ClosedPipe && ::pipe2(closedPipe, O_CLOEXEC) == 0) {
        ::close(closedPipe[0]);
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, inputFile.c_str(), O_RDONLY, 0);
    if (output.kind == ProgramOutput::ClosedPipe) {
        posix_spawn_file_actions_adddup2(&actions, closedPipe[1], STDOUT_FILENO);
    } else {
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, output.file.c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0644);
    }
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errorFile.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t defaults;
    sigfillset(&defaults);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);

    std::vector<std::string> words{program.string()};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (auto& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    pid_t pid = -1;
    const int failed =
        ::posix_spawn(&pid, program.c_str(), &actions, &attributes, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    if (closedPipe[1] >= 0) ::close(closedPipe[1]);

    ProgramResult result;
    if (failed == 0) {
        int raw = 0;
        // A real process: looked at every millisecond until it ends or the deadline passes.
        while (::waitpid(pid, &raw, WNOHANG) == 0) {
            if (std::chrono::steady_clock::now() > deadline) {
                result.hung = true;
                ::kill(pid, SIGKILL);
                ::waitpid(pid, &raw, 0);
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
    }
    std::ifstream errors(errorFile, std::ios::binary);
    result.errors.assign(std::istreambuf_iterator<char>(errors), std::istreambuf_iterator<char>());
    std::error_code ec;
    std::filesystem::remove(inputFile, ec);
    std::filesystem::remove(errorFile, ec);
    return result;
}
