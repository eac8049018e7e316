#include "sim/springboard/Supervisor.h"

#include "platform/foundation/AtomicFile.h"
#include "sim/device/ScriptParser.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace {

// A stream over the reading end of a pipe.
class PipeBuffer : public std::streambuf {
public:
    explicit PipeBuffer(int fd) : fd_(fd) {}

protected:
    int_type underflow() override {
        const ssize_t n = ::read(fd_, buffer_, sizeof buffer_);
        if (n <= 0) return traits_type::eof();
        setg(buffer_, buffer_, buffer_ + n);
        return traits_type::to_int_type(buffer_[0]);
    }

private:
    int fd_;
    char buffer_[4096];
};

// Whether a fresh SpringBoard must see `line` again: the device's set-up, and the boot.
bool isReplayed(const std::string& line) {
    const auto parsed = parseScriptLine(line, 0);
    if (!parsed.command) return false;
    switch (parsed.command->verb) {
        case ScriptVerb::Device:
        case ScriptVerb::Screen:
        case ScriptVerb::SpringBoardWithout:
        case ScriptVerb::Orientation:
        case ScriptVerb::PasscodeOn:
        case ScriptVerb::PasscodeOff:
        case ScriptVerb::FrontApp:
        case ScriptVerb::Boot:
            return true;
        default:
            return false;
    }
}

bool writeLine(int fd, const std::string& line) { return writeAllBytes(fd, line + "\n"); }

struct Child {
    pid_t pid = -1;
    int input = -1;  // where the script's lines go; -1 without a script
    int watch = -1;  // readable once the child has ended (a pidfd); -1 where there is none
};

Child start(bool withScript, const std::vector<std::string>& replay,
            const std::function<int(std::istream*)>& springBoard) {
    int pipeEnds[2] = {-1, -1};
    if (withScript && ::pipe2(pipeEnds, O_CLOEXEC) != 0) return {};
    std::fflush(nullptr);
    const pid_t pid = ::fork();
    if (pid == 0) {
        // A SpringBoard does not outlive the process keeping it alive.
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (!withScript) std::_Exit(springBoard(nullptr));
        // Only the supervisor writes the script: its end closed is the script's end.
        ::close(pipeEnds[1]);
        PipeBuffer buffer(pipeEnds[0]);
        std::istream lines(&buffer);
        std::_Exit(springBoard(&lines));
    }
    Child child{pid, -1, static_cast<int>(::syscall(SYS_pidfd_open, pid, 0))};
    if (withScript) {
        ::close(pipeEnds[0]);
        child.input = pipeEnds[1];
        for (const auto& line : replay) writeLine(child.input, line);
    }
    return child;
}

// Waits for `child` to end; true when the panel's restart ended it, else its exit status is
// left in `status`.
bool endedByRestart(Child& child, int& status) {
    if (child.input >= 0) ::close(child.input);
    if (child.watch >= 0) ::close(child.watch);
    int raw = 0;
    while (::waitpid(child.pid, &raw, 0) < 0) {
        if (errno != EINTR) return false;
    }
    if (WIFSIGNALED(raw) && WTERMSIG(raw) == SIGTERM) return true;
    status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 2;
    return false;
}

// The script's lines, read from a file descriptor as they arrive.
class ScriptLines {
public:
    explicit ScriptLines(int fd) : fd_(fd) {}
    int fd() const { return fd_; }
    bool ended() const { return ended_ && pending_.empty(); }
    // Reads what has arrived; complete lines (and, at the end, the last unfinished one) go to
    // `complete`.
    void read(std::vector<std::string>& complete) {
        char buffer[4096];
        const ssize_t n = ::read(fd_, buffer, sizeof buffer);
        if (n <= 0) {
            ended_ = true;
            if (!pending_.empty()) complete.push_back(std::exchange(pending_, {}));
            return;
        }
        pending_.append(buffer, static_cast<std::size_t>(n));
        for (std::size_t end; (end = pending_.find('\n')) != std::string::npos;) {
            complete.push_back(pending_.substr(0, end));
            pending_.erase(0, end + 1);
        }
    }

private:
    int fd_;
    std::string pending_;
    bool ended_ = false;
};

// Feeds `child` the script until the script ends (then lets the child finish it) or the child
// ends first. A line the child could not take is kept in `unsent` for the next one.
void feed(Child& child, ScriptLines& script, std::vector<std::string>& replay,
          std::vector<std::string>& unsent) {
    for (;;) {
        while (!unsent.empty()) {
            if (!writeLine(child.input, unsent.front())) return;
            if (isReplayed(unsent.front())) replay.push_back(unsent.front());
            unsent.erase(unsent.begin());
        }
        if (script.ended()) return;
        pollfd watched[2] = {{script.fd(), POLLIN, 0}, {child.watch, POLLIN, 0}};
        if (::poll(watched, child.watch >= 0 ? 2 : 1, -1) < 0 && errno != EINTR) return;
        if (watched[1].revents) return;  // the child has ended
        if (!watched[0].revents) continue;
        std::vector<std::string> lines;
        script.read(lines);
        for (auto& line : lines) unsent.push_back(std::move(line));
    }
}

}  // namespace

int superviseSpringBoard(int scriptFd, int traceFd,
                         const std::function<int(std::istream*)>& springBoard) {
    // A child gone while its lines are written must not end the supervisor. Each SpringBoard
    // inherits this, as the program's own way with a reader that has gone: its writes fail, and it
    // says so and ends.
    ::signal(SIGPIPE, SIG_IGN);
    ScriptLines script(scriptFd);
    std::vector<std::string> replay, unsent;
    for (;;) {
        Child child = start(scriptFd >= 0, replay, springBoard);
        if (child.pid < 0) return 2;
        if (scriptFd >= 0) feed(child, script, replay, unsent);
        int status = 0;
        if (!endedByRestart(child, status)) return status;
        static const std::string respring = "{\"t\":0,\"ev\":\"respring\"}\n";
        if (traceFd >= 0 && !writeAllBytes(traceFd, respring)) {
            std::fprintf(stderr, "corvane-sim: cannot write the trace: %s\n", std::strerror(errno));
            return 2;
        }
    }
}
