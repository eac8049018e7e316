#pragma once

// Runs one of the project's programs the way a careless or hostile user would, and reports how it
// ended: its exit status, or the signal that killed it, or that it did not end within the time
// allowed (then it is killed). Standard input comes from a file; no core file is written; the
// display variables are removed, so that no window opens (a test may set its own). As root, a run
// may be made as the user "nobody", for whom a read-only folder is read-only.

#include <fcntl.h>
#include <grp.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

struct ProbeRun {
    int status = -1;      // the exit status, when it exited
    int signal = 0;       // the signal that ended it, when one did
    bool timedOut = false;
    std::string out, err;
};

enum class RunAs { Caller, Nobody };

// Where the program's standard output goes: a file the probe reads back, the device that is
// always full, or a pipe whose reader has already gone.
enum class ProbeOutput { File, Full, ClosedPipe };

namespace probe_detail {

inline std::string fileText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The environment of the run: the caller's, without a display, and with `extra` ("NAME=value").
inline std::vector<char*> environmentWithoutDisplay(std::vector<std::string>& extra) {
    std::vector<char*> environment;
    for (char** variable = environ; *variable; ++variable) {
        const std::string_view text(*variable);
        if (text.starts_with("DISPLAY=") || text.starts_with("WAYLAND_DISPLAY=")) continue;
        environment.push_back(*variable);
    }
    for (auto& variable : extra) environment.push_back(variable.data());
    environment.push_back(nullptr);
    return environment;
}

// The descriptor standard output is given.
inline int outputFor(ProbeOutput output, const std::filesystem::path& scratch) {
    switch (output) {
        case ProbeOutput::Full:
            return ::open("/dev/full", O_WRONLY);
        case ProbeOutput::ClosedPipe: {
            int ends[2];
            if (::pipe(ends) != 0) return -1;
            ::close(ends[0]);
            return ends[1];
        }
        default:
            return ::open((scratch / ".probe-out").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    }
}

[[noreturn]] inline void becomeProgram(std::vector<std::string>& words, const std::filesystem::path& input,
                                       const std::filesystem::path& scratch, RunAs runAs,
                                       ProbeOutput output, std::vector<std::string> extraEnvironment) {
    const rlimit noCore{0, 0};
    ::setrlimit(RLIMIT_CORE, &noCore);
    // A program is started with the default answer to a closed pipe, whatever the test's own is.
    ::signal(SIGPIPE, SIG_DFL);
    const int in = ::open(input.c_str(), O_RDONLY);
    const int out = outputFor(output, scratch);
    const int err = ::open((scratch / ".probe-err").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (in < 0 || out < 0 || err < 0) ::_exit(126);
    ::dup2(in, STDIN_FILENO);
    ::dup2(out, STDOUT_FILENO);
    ::dup2(err, STDERR_FILENO);
    if (runAs == RunAs::Nobody && ::geteuid() == 0) {
        constexpr uid_t kNobody = 65534;
        if (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0) ::_exit(126);
    }
    std::vector<char*> argv;
    for (auto& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    auto environment = environmentWithoutDisplay(extraEnvironment);
    ::execve(argv[0], argv.data(), environment.data());
    ::_exit(127);
}

}  // namespace probe_detail

// Whether the user "nobody" can run `program`: not when the checkout lies in a private folder.
// Always so for a caller who is not root, who runs programs as itself.
inline bool nobodyCanRun(const std::string& program) {
    if (::geteuid() != 0) return true;
    const pid_t pid = ::fork();
    if (pid == 0) {
        constexpr uid_t kNobody = 65534;
        if (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0) ::_exit(1);
        ::_exit(::access(program.c_str(), X_OK) == 0 ? 0 : 1);
    }
    int raw = 0;
    ::waitpid(pid, &raw, 0);
    return WIFEXITED(raw) && WEXITSTATUS(raw) == 0;
}

// Runs `program` with `arguments` and `input` on standard input, for at most `limit`.
inline ProbeRun probeProgram(const std::string& program, const std::vector<std::string>& arguments,
                             const std::string& input, const std::filesystem::path& scratch,
                             std::chrono::milliseconds limit, RunAs runAs = RunAs::Caller,
                             ProbeOutput output = ProbeOutput::File,
                             const std::vector<std::string>& extraEnvironment = {}) {
    const auto inputFile = scratch / ".probe-in";
    std::ofstream(inputFile, std::ios::binary) << input;
    std::vector<std::string> words{program};
    words.insert(words.end(), arguments.begin(), arguments.end());
    const pid_t pid = ::fork();
    if (pid == 0) probe_detail::becomeProgram(words, inputFile, scratch, runAs, output, extraEnvironment);
    ProbeRun run;
    const auto deadline = std::chrono::steady_clock::now() + limit;
    int raw = 0;
    // Waiting for a real process: polled, with a deadline.
    while (::waitpid(pid, &raw, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            run.timedOut = true;
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &raw, 0);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    if (!run.timedOut && WIFEXITED(raw)) run.status = WEXITSTATUS(raw);
    if (!run.timedOut && WIFSIGNALED(raw)) run.signal = WTERMSIG(raw);
    run.out = probe_detail::fileText(scratch / ".probe-out");
    run.err = probe_detail::fileText(scratch / ".probe-err");
    for (const char* name : {".probe-in", ".probe-out", ".probe-err"}) std::filesystem::remove(scratch / name);
    return run;
}
