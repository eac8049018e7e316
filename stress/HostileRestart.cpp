// The restart button against pid files nobody can trust. A device whose SpringBoard is kept alive
// (this device) and a device with none (a stale one) get, in turn, a pid file that is stale,
// names another device's SpringBoard (with a copy of its lock file where there is none), names an
// unrelated process, holds garbage, is a link to another device's pid file, or is a pipe; each
// time the panel's restart runs. This device's own SpringBoard must restart, the stale device's
// restart must end nothing, no process of another device or outside the devices may end, and
// nothing may hang.

#include "stress/Checks.h"
#include "stress/ProgramRun.h"
#include "stress/StressReport.h"
#include "stress/TraceEvents.h"

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <string>

namespace {

constexpr double kStepSeconds = 30;

struct Planted {
    const char* name;
    // Puts it at `pidFile`: `other` is the other device's root, `otherPid` its SpringBoard, and
    // `unrelated` and `ended` processes of no device, one running and one gone.
    void (*plant)(const std::filesystem::path& pidFile, const std::filesystem::path& other,
                  pid_t otherPid, pid_t unrelated, pid_t ended);
};

void writeText(const std::filesystem::path& file, const std::string& text) {
    std::ofstream(file) << text;
}

const Planted kPlanted[] = {
    {"stale",
     [](const auto& file, const auto&, pid_t, pid_t, pid_t ended) {
         writeText(file, std::to_string(ended) + "\n");
     }},
    {"another device's SpringBoard",
     [](const auto& file, const auto& other, pid_t otherPid, pid_t, pid_t) {
         writeText(file, std::to_string(otherPid) + "\n");
         // Where no SpringBoard has left its lock file, the other device's goes too.
         std::error_code ec;
         std::filesystem::copy_file(other / "var/run/springboard.lock",
                                    file.parent_path() / "springboard.lock", ec);
     }},
    {"an unrelated process",
     [](const auto& file, const auto&, pid_t, pid_t unrelated, pid_t) {
         writeText(file, std::to_string(unrelated) + "\n");
     }},
    {"garbage",
     [](const auto& file, const auto&, pid_t, pid_t, pid_t) {
         writeText(file, "\x7f\x45LF, not a number\n");
     }},
    {"a link",
     [](const auto& file, const auto& other, pid_t, pid_t, pid_t) {
         std::filesystem::create_symlink(other / "var/run/springboard.pid", file);
     }},
    {"a pipe",
     [](const auto& file, const auto&, pid_t, pid_t, pid_t) { ::mkfifo(file.c_str(), 0600); }},
};

// A process of no device: it waits until it is ended.
pid_t startUnrelated() {
    const pid_t pid = ::fork();
    if (pid == 0) {
        for (;;) ::pause();
    }
    return pid;
}

// A process id that belonged to a process that has ended.
pid_t endedProcess() {
    const pid_t pid = ::fork();
    if (pid == 0) ::_exit(0);
    ::waitpid(pid, nullptr, 0);
    return pid;
}

bool isRunning(pid_t pid) {
    return ::waitpid(pid, nullptr, WNOHANG) == 0 && ::kill(pid, 0) == 0;
}

// The panel's restart button on `root`: its "system" status, or -1 when the panel failed or hung.
int restartFromPanel(const StressPaths& paths, const std::filesystem::path& root, bool& hung) {
    const auto trace = root / "panel-trace.jsonl";
    const auto run =
        runProgram(paths.program("corvane-settings"), {"--root", root.string(), "--script", "-"},
                   "open\ntap respringButtonClicked:\n", {ProgramOutput::File, trace}, root,
                   deadlineIn(kStepSeconds));
    hung = run.hung;
    if (!run.succeeded()) return -1;
    std::ifstream in(trace);
    for (std::string line; std::getline(in, line);) {
        const Event event = Event::parse(line, nullptr, false);
        if (isEvent(event, "system")) return event.value("status", -1);
    }
    return -1;
}

void replace(const std::filesystem::path& pidFile, const Planted& planted,
             const std::filesystem::path& other, pid_t otherPid, pid_t unrelated, pid_t ended) {
    std::error_code ec;
    std::filesystem::create_directories(pidFile.parent_path(), ec);
    std::filesystem::remove(pidFile, ec);
    planted.plant(pidFile, other, otherPid, unrelated, ended);
}

}  // namespace

int runHostileRestart(const StressPaths& paths, const HostileRestartOptions& options) {
    StressReport report("hostile-restart");
    const StressRoot device(paths, true), other(paths, true), stale(paths, true);
    const auto ourSpringBoard = bootSpringBoard(paths.program("corvane-sim"), device.path(),
                                                {"--keep-alive"}, kStepSeconds);
    const auto theirSpringBoard =
        bootSpringBoard(paths.program("corvane-sim"), other.path(), {}, kStepSeconds);
    if (!ourSpringBoard || !theirSpringBoard) {
        report.fail("a SpringBoard did not boot");
        return report.finish();
    }
    ChildProcess& ours = *ourSpringBoard;
    ChildProcess& theirs = *theirSpringBoard;
    std::vector<Event> seen;
    const pid_t unrelated = startUnrelated();
    const pid_t ended = endedProcess();

    int tried = 0, hangs = 0, outsideEnded = 0, ownRestarted = 0, staleEndedNothing = 0;
    for (int round = 0; round < options.rounds && outsideEnded == 0; ++round) {
        for (const auto& planted : kPlanted) {
            const std::string what =
                std::string(planted.name) + " (round " + std::to_string(round + 1) + ")";
            bool hung = false;
            // This device: its own SpringBoard restarts, whatever the pid file says.
            replace(device.path() / "var/run/springboard.pid", planted, other.path(), theirs.pid(),
                    unrelated, ended);
            ++tried;
            const int ownStatus = restartFromPanel(paths, device.path(), hung);
            hangs += hung;
            seen.clear();
            const bool respring =
                ownStatus == 0 &&
                readEventsUntil(
                    ours, deadlineIn(kStepSeconds),
                    [](const Event& e) { return isEvent(e, "respring"); }, seen) &&
                sendThroughMarker(ours, "", "corvane.stress.back." + std::to_string(tried),
                                  deadlineIn(kStepSeconds), seen);
            if (respring)
                ++ownRestarted;
            else
                report.fail("this device's SpringBoard did not restart with a pid file that is " +
                            what);

            // The stale device: nothing to end.
            replace(stale.path() / "var/run/springboard.pid", planted, other.path(), theirs.pid(),
                    unrelated, ended);
            ++tried;
            const int staleStatus = restartFromPanel(paths, stale.path(), hung);
            hangs += hung;
            if (staleStatus == 1)
                ++staleEndedNothing;
            else
                report.fail("the stale device's restart answered " + std::to_string(staleStatus) +
                            " with " + what);

            const bool othersAlive =
                isRunning(unrelated) &&
                sendThroughMarker(theirs, "", "corvane.stress.alive." + std::to_string(tried),
                                  deadlineIn(kStepSeconds), seen);
            if (!othersAlive) {
                ++outsideEnded;
                report.fail("a process outside this device ended after a pid file that is " + what);
                break;
            }
        }
    }
    if (hangs > 0) report.fail(std::to_string(hangs) + " restarts hung");
    ::kill(unrelated, SIGKILL);
    ::waitpid(unrelated, nullptr, 0);
    report.figure("kinds-of-pid-file", static_cast<int>(std::size(kPlanted)));
    report.figure("restarts-tried", tried);
    report.figure("own-springboard-restarted", ownRestarted);
    report.figure("stale-device-restarts-that-ended-nothing", staleEndedNothing);
    report.figure("processes-outside-the-device-ended", outsideEnded);
    report.figure("hangs", hangs);
    return report.finish();
}
