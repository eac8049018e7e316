// The restart loop: SpringBoard runs under --keep-alive, and the settings panel's restart button
// ends it over and over. Every restart must show in SpringBoard's trace as a "respring", be
// followed by a fresh SpringBoard that boots with the tweak loaded (its settings dump answers) and
// whose lock screen unlocks with a gesture.

#include "stress/Checks.h"
#include "stress/ExampleGestures.h"
#include "stress/StressReport.h"
#include "stress/TraceEvents.h"

#include <fstream>
#include <set>

namespace {

constexpr double kStepSeconds = 30;

std::string pidInFile(const StressRoot& root) {
    std::ifstream in(root.path() / "var/run/springboard.pid");
    std::string pid;
    std::getline(in, pid);
    return pid;
}

class RespringLoop {
public:
    RespringLoop(const StressPaths& paths, const RespringOptions& options, const StressRoot& root,
                 StressReport& report)
        : paths_(paths),
          options_(options),
          root_(root),
          report_(report),
          sim_(paths.program("corvane-sim"),
               {"--root", root.path().string(), "--keep-alive", "--script", "-"},
               root.path() / "sim-stderr.txt") {
        for (const auto& line : exampleGesture(paths.examples, 0)) drag_ += line + '\n';
    }

    void run() {
        if (!sim_.send("prefs set cvrUnlockType 0\nboot\n", deadlineIn(kStepSeconds)) || !bootedWithTweak()) {
            report_.fail("the first SpringBoard did not boot with the tweak");
            return;
        }
        for (int restart = 1; restart <= options_.restarts && alive_; ++restart) {
            if ((restart - 1) % options_.unlockEvery == 0) unlock(restart);
            if (!restartFromPanel(restart)) break;
            if (!awaitRespring(restart)) break;
            if (bootedWithTweak()) ++freshBoots_;
            else report_.fail("after restart " + std::to_string(restart) + " no SpringBoard with the tweak");
        }
        if (alive_) unlock(options_.restarts + 1);
        finish();
    }

private:
    // Reads SpringBoard's trace until `stop`; the events on the way, or nothing when it fell silent.
    std::optional<std::vector<Event>> readUntil(const std::function<bool(const Event&)>& stop,
                                                const std::string& what) {
        std::vector<Event> seen;
        if (!readEventsUntil(sim_, deadlineIn(kStepSeconds), stop, seen)) {
            alive_ = false;
            report_.fail("corvane-sim fell silent waiting for " + what);
            return std::nullopt;
        }
        if (countEvents(seen, "error") > 0) report_.fail("an error event before " + what);
        return seen;
    }

    // Asks the running SpringBoard for its settings: answered by the tweak once it has loaded.
    bool bootedWithTweak() {
        if (!sim_.send("dump settings\n", deadlineIn(kStepSeconds))) return false;
        const auto seen = readUntil(
            [](const Event& e) { return isEvent(e, "dump") && e.value("what", "") == "settings"; },
            "a settings dump");
        if (!seen) return false;
        const auto& settings = seen->back()["settings"];
        pids_.insert(pidInFile(root_));
        return settings.is_object() && settings.contains("unlockType") && countEvents(*seen, "locked") >= 1;
    }

    void unlock(int round) {
        ++unlocksTried_;
        const std::string marker = "corvane.stress.unlock." + std::to_string(round);
        if (!sim_.send("lock\nwake\n" + drag_ + "wait 700\nnotify " + marker + "\n", deadlineIn(kStepSeconds))) {
            alive_ = false;
            return;
        }
        const auto seen = readUntil([&](const Event& e) { return isNotification(e, marker); }, marker);
        if (seen && countEvents(*seen, "unlocked") == 1) ++unlocked_;
        else if (seen) report_.fail("the lock screen did not unlock in round " + std::to_string(round));
    }

    // The panel's restart button, in a Settings process of its own.
    bool restartFromPanel(int restart) {
        ChildProcess panel(paths_.program("corvane-settings"), {"--root", root_.path().string(), "--script", "-"},
                           root_.path() / "settings-stderr.txt");
        panel.send("open\ntap respringButtonClicked:\n", deadlineIn(kStepSeconds));
        panel.closeInput();
        std::vector<Event> seen;
        readEventsUntil(panel, deadlineIn(kStepSeconds), [](const Event&) { return false; }, seen);
        const auto status = panel.wait(deadlineIn(kStepSeconds));
        if (status == 0 && countEvents(seen, "respring") == 1) {
            ++panelRestarts_;
            return true;
        }
        report_.fail("restart " + std::to_string(restart) + ": the panel did not restart SpringBoard");
        return false;
    }

    bool awaitRespring(int restart) {
        const auto seen = readUntil([](const Event& e) { return isEvent(e, "respring"); },
                                    "respring " + std::to_string(restart));
        if (seen) ++respringEvents_;
        return seen.has_value();
    }

    void finish() {
        sim_.closeInput();
        const auto status = sim_.wait(deadlineIn(kStepSeconds));
        if (status != 0) report_.fail("corvane-sim ended with status " + (status ? std::to_string(*status) : "none (hung)"));
        report_.figure("restarts", options_.restarts);
        report_.figure("restarts-by-the-panel", panelRestarts_);
        report_.figure("respring-events", respringEvents_);
        report_.figure("fresh-boots-with-the-tweak", freshBoots_);
        report_.figure("distinct-springboard-processes", pids_.size());
        report_.figure("unlocks-tried", unlocksTried_);
        report_.figure("unlocked", unlocked_);
        report_.figure("sim-exit-status", status ? *status : -1);
        if (static_cast<int>(pids_.size()) != options_.restarts + 1) {
            report_.fail("expected " + std::to_string(options_.restarts + 1) + " SpringBoard processes, saw " +
                         std::to_string(pids_.size()));
        }
    }

    const StressPaths& paths_;
    const RespringOptions& options_;
    const StressRoot& root_;
    StressReport& report_;
    ChildProcess sim_;
    std::string drag_;
    bool alive_ = true;
    int panelRestarts_ = 0, respringEvents_ = 0, freshBoots_ = 0, unlocksTried_ = 0, unlocked_ = 0;
    std::set<std::string> pids_;
};

}  // namespace

int runRespringLoop(const StressPaths& paths, const RespringOptions& options) {
    StressReport report("respring-loop");
    const StressRoot root(paths, true);
    RespringLoop(paths, options, root, report).run();
    return report.finish();
}
