// The soak: one SpringBoard, fed a script as it runs, is locked, woken and unlocked over and over
// with each of the seven gestures in turn, without and then with a passcode (entered when the
// passcode entry shows). Every cycle must end unlocked; resident memory and the number of views
// are measured at a checkpoint and at the end, and must stay level.

#include "stress/Checks.h"
#include "stress/ExampleGestures.h"
#include "stress/StressReport.h"
#include "stress/TraceEvents.h"

#include <cmath>
#include <fstream>
#include <sstream>

namespace {

// How long one step of the script may take on the machine's clock, a sanitizer build included.
constexpr double kStepSeconds = 30;
// Past this many failed cycles the device is in no state to go on.
constexpr int kMostFailures = 20;

std::string joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& line : lines) text += line + '\n';
    return text;
}

// The problems a sanitizer reported on standard error, if any.
std::vector<std::string> sanitizerReports(const std::filesystem::path& errors) {
    std::ifstream in(errors);
    std::vector<std::string> reports;
    for (std::string line; std::getline(in, line);) {
        if (line.find("Sanitizer") != std::string::npos || line.find("runtime error") != std::string::npos) {
            reports.push_back(line);
        }
    }
    return reports;
}

class Soak {
public:
    Soak(const StressPaths& paths, const SoakOptions& options, const StressRoot& root,
         StressReport& report)
        : options_(options),
          report_(report),
          errors_(root.path() / "sim-stderr.txt"),
          sim_(paths.program("corvane-sim"), {"--root", root.path().string(), "--script", "-"},
               errors_) {
        for (int type = 0; type < kUnlockTypes; ++type) {
            gestures_[type] = joined(exampleGesture(paths.examples, type));
            if (gestures_[type].empty()) report_.fail("no gesture for unlock type " + std::to_string(type));
        }
    }

    void run() {
        if (!report_.passed() || !start()) return;
        for (int cycle = 1; cycle <= options_.cycles && failures_ < kMostFailures && alive_; ++cycle) {
            runCycle(cycle);
            if (cycle == options_.checkpoint) measure(checkpoint_, "at the checkpoint");
        }
        if (alive_) measure(end_, "at the end");
        finish();
    }

private:
    struct Measure {
        long rssKiB = -1;
        long anonymousKiB = -1;
        int views = -1;        // unlocked
        int lockedViews = -1;  // the lock screen showing, before the gesture
    };

    // The views of the first view dump among `events`.
    static int viewsIn(const std::vector<Event>& events) {
        for (const auto& event : events) {
            if (isEvent(event, "dump") && event.value("what", "") == "views") return countViews(event["windows"]);
        }
        return -1;
    }

    // Sends `lines`, then reads the trace up to the notification `marker` posted after them; the
    // events in between, or nothing when the simulator stopped answering.
    std::optional<std::vector<Event>> step(const std::string& lines, const std::string& marker) {
        std::vector<Event> seen;
        if (!sendThroughMarker(sim_, lines, marker, deadlineIn(kStepSeconds), seen)) {
            alive_ = false;
            report_.fail("corvane-sim stopped answering at " + marker + lastError(seen));
            return std::nullopt;
        }
        events_ += static_cast<long>(seen.size());
        if (countEvents(seen, "error") > 0) failCycle(marker + lastError(seen));
        return seen;
    }

    // How far `after` is above `before`, as a fraction of it; both are readings that succeeded.
    static double growth(long before, long after) {
        return before > 0 && after >= 0 ? double(after - before) / double(before) : 0;
    }

    static std::string lastError(const std::vector<Event>& seen) {
        for (auto it = seen.rbegin(); it != seen.rend(); ++it) {
            if (isEvent(*it, "error")) return ": " + it->dump();
        }
        return "";
    }

    void failCycle(const std::string& problem) {
        ++failures_;
        report_.fail(problem);
    }

    // Boots, and leaves the lock screen once with the stock bar so that it holds a picture.
    bool start() {
        const auto seen = step("prefs set cvrUnlockType 0\nboot\ndown 60 432\nmove 280 432\nup\nwait 400\n",
                               "corvane.stress.booted");
        if (seen && countEvents(*seen, "unlocked") != 1) failCycle("the stock bar did not unlock");
        return seen.has_value();
    }

    void runCycle(int cycle) {
        // The two cycles that measure drag without a passcode, so that their lock screens match.
        Measure* measure = cycle == options_.checkpoint ? &checkpoint_ : cycle == options_.cycles ? &end_ : nullptr;
        const int type = measure ? 0 : cycle % kUnlockTypes;
        const bool passcode = !measure && (cycle / kUnlockTypes) % 2 == 1;
        std::string lines;
        if (passcode != passcode_) lines += passcode ? "passcode on\n" : "passcode off\n";
        passcode_ = passcode;
        lines += "prefs set cvrUnlockType " + std::to_string(type) +
                 "\nnotify com.quillmoss.corvane.prefsUpdated\nlock\nwake\n" +
                 (measure ? "dump views\n" : "") + gestures_[type] + "wait 700\n";
        const std::string name = "cycle " + std::to_string(cycle) + " (type " + std::to_string(type) +
                                 (passcode ? ", passcode)" : ")");
        const auto seen = step(lines, "corvane.stress.gesture." + std::to_string(cycle));
        if (!seen) return;
        if (measure) measure->lockedViews = viewsIn(*seen);
        ++gesturesOfType_[type];
        if (countEvents(*seen, "locked") != 1) failCycle(name + " did not lock once");
        if (!passcode) {
            if (countEvents(*seen, "unlocked") != 1) failCycle(name + " did not end unlocked");
            unlocked_ += countEvents(*seen, "unlocked");
            return;
        }
        ++passcodeCycles_;
        if (countEvents(*seen, "passcode-shown") != 1) {
            failCycle(name + " showed no passcode entry");
            return;
        }
        const auto after = step("passcode enter\nwait 700\n", "corvane.stress.cycle." + std::to_string(cycle));
        if (!after) return;
        if (countEvents(*after, "unlocked") != 1) failCycle(name + " did not end unlocked");
        unlocked_ += countEvents(*after, "unlocked");
    }

    // The views of the device and the memory of its process, now. A figure that cannot be read
    // fails the check: a soak that measured nothing has shown nothing level.
    void measure(Measure& into, const std::string& when) {
        std::vector<Event> seen;
        const auto deadline = deadlineIn(kStepSeconds);
        const auto isViewDump = [](const Event& e) {
            return isEvent(e, "dump") && e.value("what", "") == "views";
        };
        std::optional<Event> views;
        if (sim_.send("dump views\n", deadline)) views = readEventsUntil(sim_, deadline, isViewDump, seen);
        if (!views) {
            alive_ = false;
            report_.fail("corvane-sim did not dump its views");
            return;
        }
        into.views = countViews((*views)["windows"]);
        into.rssKiB = residentKiB(sim_.pid());
        into.anonymousKiB = residentKiB(sim_.pid(), "RssAnon");
        const std::string status = "/proc/" + std::to_string(sim_.pid()) + "/status";
        if (into.rssKiB < 0) {
            report_.fail("cannot read VmRSS of corvane-sim from " + status + " " + when);
        }
        if (into.anonymousKiB < 0) {
            report_.fail("cannot read RssAnon of corvane-sim from " + status + " " + when);
        }
        if (into.views < 0) report_.fail("the view dump " + when + " holds no views");
    }

    // Whether both measures were taken (with every figure read); a failure when not.
    bool bothMeasured() {
        bool measured = true;
        const std::pair<const Measure*, const char*> measures[] = {
            {&checkpoint_, "at the checkpoint"}, {&end_, "at the end"}};
        for (const auto& [measure, when] : measures) {
            const bool whole = measure->rssKiB >= 0 && measure->anonymousKiB >= 0 &&
                               measure->views >= 0 && measure->lockedViews >= 0;
            if (!whole) report_.fail(std::string("memory and views were not all measured ") + when);
            measured = measured && whole;
        }
        return measured;
    }

    void finish() {
        sim_.closeInput();
        const auto status = sim_.wait(deadlineIn(kStepSeconds));
        if (status != 0) report_.fail("corvane-sim ended with status " + (status ? std::to_string(*status) : "none (hung)"));
        for (const auto& line : sanitizerReports(errors_)) report_.fail("sanitizer: " + line);
        const bool measured = bothMeasured();
        if (measured &&
            (end_.views != checkpoint_.views || end_.lockedViews != checkpoint_.lockedViews)) {
            report_.fail("the view tree went from " + std::to_string(checkpoint_.views) + " to " +
                         std::to_string(end_.views) + " views unlocked, from " +
                         std::to_string(checkpoint_.lockedViews) + " to " +
                         std::to_string(end_.lockedViews) + " with the lock screen showing");
        }
        // Growth is what a leak makes; resident memory may also shrink when the kernel drops
        // pages of the program's files, which is no fault.
        const double change = growth(checkpoint_.rssKiB, end_.rssKiB);
        const double anonymousChange = growth(checkpoint_.anonymousKiB, end_.anonymousKiB);
        if (measured && !options_.sanitized &&
            (change > options_.rssTolerance || anonymousChange > options_.rssTolerance)) {
            report_.fail("resident memory grew from " + std::to_string(checkpoint_.rssKiB) + " KiB to " +
                         std::to_string(end_.rssKiB) + " KiB (" + std::to_string(checkpoint_.anonymousKiB) +
                         " to " + std::to_string(end_.anonymousKiB) + " KiB not of files)");
        }
        report_.figure("cycles", options_.cycles);
        report_.figure("cycles-per-unlock-type", gesturesOfType_);
        report_.figure("cycles-with-passcode", passcodeCycles_);
        report_.figure("unlocked", unlocked_);
        report_.figure("failed-cycles", failures_);
        report_.figure("trace-events", events_);
        report_.figure("checkpoint-cycle", options_.checkpoint);
        report_.figure("rss-kib-at-checkpoint", checkpoint_.rssKiB);
        report_.figure("rss-kib-at-end", end_.rssKiB);
        report_.figure("rss-change-percent", std::round(change * 10000) / 100);
        report_.figure("anonymous-kib-at-checkpoint", checkpoint_.anonymousKiB);
        report_.figure("anonymous-kib-at-end", end_.anonymousKiB);
        report_.figure("anonymous-change-percent", std::round(anonymousChange * 10000) / 100);
        report_.figure("views-unlocked-at-checkpoint", checkpoint_.views);
        report_.figure("views-unlocked-at-end", end_.views);
        report_.figure("views-locked-at-checkpoint", checkpoint_.lockedViews);
        report_.figure("views-locked-at-end", end_.lockedViews);
        report_.figure("sim-exit-status", status ? *status : -1);
    }

    const SoakOptions& options_;
    StressReport& report_;
    std::filesystem::path errors_;
    ChildProcess sim_;
    std::string gestures_[kUnlockTypes];
    bool passcode_ = false;
    bool alive_ = true;
    int failures_ = 0, unlocked_ = 0, passcodeCycles_ = 0;
    std::vector<int> gesturesOfType_ = std::vector<int>(kUnlockTypes, 0);
    long events_ = 0;
    Measure checkpoint_, end_;
};

}  // namespace

int runSoakCheck(const StressPaths& paths, const SoakOptions& options) {
    StressReport report(options.sanitized ? "soak-sanitized" : "soak");
    const StressRoot root(paths, true);
    Soak(paths, options, root, report).run();
    return report.finish();
}
