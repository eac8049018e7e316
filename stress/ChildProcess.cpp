#include "stress/ChildProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>
#include <thread>
#include <utility>

extern char** environ;

namespace {

int millisecondsUntil(Deadline deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    return left.count() < 0 ? 0 : static_cast<int>(std::min<long long>(left.count(), 1000));
}

}  // namespace

Deadline deadlineIn(double seconds) {
    return std::chrono::steady_clock::now() +
           std::chrono::duration_cast<std::chrono::steady_clock::duration>(
               std::chrono::duration<double>(seconds));
}

ChildProcess::ChildProcess(const std::filesystem::path& program,
                           const std::vector<std::string>& arguments,
                           const std::filesystem::path& errorFile) {
    int in[2], out[2];
    if (::pipe2(in, O_CLOEXEC) != 0 || ::pipe2(out, O_CLOEXEC) != 0) {
        throw std::runtime_error("cannot make pipes for " + program.string());
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in[0], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errorFile.c_str(),
                                     O_WRONLY | O_CREAT | O_APPEND, 0644);
    std::vector<std::string> words{program.string()};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (auto& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    const int failed = ::posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(in[0]);
    ::close(out[1]);
    input_ = in[1];
    output_ = out[0];
    if (failed != 0) {
        ::close(input_);
        ::close(output_);
        throw std::runtime_error("cannot start " + program.string());
    }
    ::fcntl(input_, F_SETFL, O_NONBLOCK);
    ::fcntl(output_, F_SETFL, O_NONBLOCK);
    // A program that ends while lines are still being written must not end this one.
    ::signal(SIGPIPE, SIG_IGN);
}

ChildProcess::~ChildProcess() {
    closeInput();
    if (!status_ && pid_ > 0) {
        ::kill(pid_, SIGKILL);
        int raw = 0;
        while (::waitpid(pid_, &raw, 0) < 0 && errno == EINTR) {
        }
    }
    if (output_ >= 0) ::close(output_);
}

bool ChildProcess::pump(Deadline deadline, bool wantInput) {
    pollfd watched[2] = {{output_, POLLIN, 0}, {input_, POLLOUT, 0}};
    const nfds_t count = wantInput && input_ >= 0 ? 2 : 1;
    if (outputEnded_) {
        if (count == 1) return false;
        watched[0].fd = -1;
    }
    if (::poll(watched, count, millisecondsUntil(deadline)) <= 0) return false;
    if (watched[0].revents) {
        char buffer[65536];
        const ssize_t n = ::read(output_, buffer, sizeof buffer);
        if (n > 0) pending_.append(buffer, static_cast<std::size_t>(n));
        if (n == 0 || (n < 0 && errno != EAGAIN && errno != EINTR)) outputEnded_ = true;
    }
    return true;
}

bool ChildProcess::send(std::string_view text, Deadline deadline) {
    while (!text.empty()) {
        if (input_ < 0) return false;
        const ssize_t n = ::write(input_, text.data(), text.size());
        if (n > 0) {
            text.remove_prefix(static_cast<std::size_t>(n));
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR) return false;
        if (std::chrono::steady_clock::now() >= deadline) return false;
        pump(deadline, true);
    }
    return true;
}

std::optional<std::string> ChildProcess::readLine(Deadline deadline) {
    for (;;) {
        const std::size_t end = pending_.find('\n');
        if (end != std::string::npos) {
            std::string line = pending_.substr(0, end);
            pending_.erase(0, end + 1);
            return line;
        }
        if (outputEnded_) {
            if (pending_.empty()) return std::nullopt;
            return std::exchange(pending_, {});
        }
        if (std::chrono::steady_clock::now() >= deadline) return std::nullopt;
        pump(deadline, false);
    }
}

void ChildProcess::closeInput() {
    if (input_ >= 0) ::close(input_);
    input_ = -1;
}

std::optional<int> ChildProcess::wait(Deadline deadline) {
    while (!status_) {
        int raw = 0;
        const pid_t done = ::waitpid(pid_, &raw, WNOHANG);
        if (done == pid_) {
            status_ = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
            break;
        }
        if (done < 0 && errno != EINTR) return std::nullopt;
        if (std::chrono::steady_clock::now() >= deadline) return std::nullopt;
        // Its output is drained meanwhile, so that a program writing its last lines can end.
        if (!pump(deadline, false)) std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return status_;
}
