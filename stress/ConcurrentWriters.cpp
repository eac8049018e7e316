// Writers at once: several corvanectl processes and the settings panel change the settings file
// at the same moment, each its own keys, while a running SpringBoard reloads on every change and
// this process reads the file over and over as the tweak would. No change may be lost, every
// reading must be a whole dictionary, and SpringBoard must end holding the last file.

#include "stress/Checks.h"
#include "stress/ProgramRun.h"
#include "stress/StressReport.h"
#include "stress/TraceEvents.h"

#include "platform/foundation/DeviceRoot.h"
#include "platform/foundation/PropertyList.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr double kStepSeconds = 60;

std::string writerKey(int writer, int change) {
    return "stress.writer" + std::to_string(writer) + "." + std::to_string(change);
}

// The panel's changes: its drag-distance slider, moved `changes` times to values it never
// takes twice, the last one known.
double panelValue(int change) {
    return 0.5 + change / 10000.0;
}

// One corvanectl writer in a process of its own: its keys (none the tweak reads, so stored with
// --raw) one after another, each a separate run of corvanectl. Answers how many runs failed.
[[noreturn]] void runWriter(const StressPaths& paths, const StressRoot& root, int writer,
                            int changes) {
    int failures = 0;
    for (int change = 0; change < changes; ++change) {
        const auto run = runProgram(paths.program("corvanectl"),
                                    {"--root", root.path().string(), "prefs", "set", "--raw",
                                     writerKey(writer, change), std::to_string(change)},
                                    "", {}, root.path(), deadlineIn(kStepSeconds));
        if (!run.succeeded()) ++failures;
    }
    ::_exit(std::min(failures, 255));
}

// The panel in a process of its own: one script that moves the slider `changes` times.
[[noreturn]] void runPanel(const StressPaths& paths, const StressRoot& root, int changes) {
    std::string script = "open\n";
    char value[32];
    for (int change = 0; change < changes; ++change) {
        std::snprintf(value, sizeof value, "%.4f", panelValue(change));
        script += std::string("set cvrDragDistance ") + value + "\n";
    }
    const auto run = runProgram(paths.program("corvane-settings"),
                                {"--root", root.path().string(), "--script", "-"}, script,
                                {ProgramOutput::File, root.path() / "panel-trace.jsonl"},
                                root.path(), deadlineIn(kStepSeconds * 10));
    ::_exit(run.succeeded() ? 0 : 1);
}

pid_t inProcess(const std::function<void()>& work) {
    const pid_t pid = ::fork();
    if (pid == 0) work();
    return pid;
}

}  // namespace

int runConcurrentWriters(const StressPaths& paths, const WritersOptions& options) {
    StressReport report("concurrent-writers");
    const StressRoot root(paths, true);
    DeviceRoot::set(root.path());
    const auto booted =
        bootSpringBoard(paths.program("corvane-sim"), root.path(), {}, kStepSeconds);
    if (!booted) {
        report.fail("corvane-sim did not boot");
        return report.finish();
    }
    ChildProcess& sim = *booted;
    std::vector<Event> seen;

    std::vector<pid_t> writers;
    for (int writer = 0; writer < options.writers; ++writer) {
        writers.push_back(inProcess([&] { runWriter(paths, root, writer, options.changes); }));
    }
    const pid_t panel = inProcess([&] { runPanel(paths, root, options.changes); });

    // Meanwhile the file is read as the tweak's loader reads it, as fast as it goes.
    long reads = 0, notDictionaries = 0;
    int running = options.writers + 1, failedRuns = 0;
    bool panelFailed = false;
    while (running > 0) {
        const auto read = readPropertyListFile(root.settingsFile());
        ++reads;
        if (read.error != PlistReadError::NotFound &&
            !(read.value && read.value->as<PlistDictionary>())) {
            ++notDictionaries;
        }
        int status = 0;
        for (pid_t ended; (ended = ::waitpid(-1, &status, WNOHANG)) > 0; --running) {
            const int failures = WIFEXITED(status) ? WEXITSTATUS(status) : 255;
            if (ended == panel)
                panelFailed = failures != 0;
            else
                failedRuns += failures;
        }
    }

    const auto stored = readPropertyListDictionary(root.settingsFile()).value_or(PlistDictionary{});
    long lost = 0;
    for (int writer = 0; writer < options.writers; ++writer) {
        for (int change = 0; change < options.changes; ++change) {
            const auto found = stored.find(writerKey(writer, change));
            if (found == stored.end() || found->second != PlistValue(std::int64_t{change})) ++lost;
        }
    }
    // The panel moves one slider: each of its changes is stored (a "file-write" in its trace), and
    // the last one is still there at the end.
    long panelWrites = 0;
    std::ifstream panelTrace(root.path() / "panel-trace.jsonl");
    for (std::string line; std::getline(panelTrace, line);) {
        panelWrites += isEvent(Event::parse(line, nullptr, false), "file-write");
    }
    const auto distance = stored.find("cvrDragDistance");
    const auto* panelLast = distance == stored.end() ? nullptr : distance->second.as<double>();
    const bool panelKept =
        panelLast && std::abs(*panelLast - panelValue(options.changes - 1)) < 1e-9;
    lost += (options.changes - panelWrites) + (panelKept ? 0 : 1);

    // SpringBoard has had every notification; once it has read them it holds the last file.
    seen.clear();
    const auto deadline = deadlineIn(kStepSeconds);
    std::optional<Event> dump;
    if (sendThroughMarker(sim, "wait 10\n", "corvane.stress.written", deadline, seen) &&
        sim.send("dump settings\n", deadline)) {
        dump = readEventsUntil(
            sim, deadline, [](const Event& e) { return isEvent(e, "dump"); }, seen);
    }
    const auto shown =
        runProgram(paths.program("corvanectl"), {"--root", root.path().string(), "prefs", "show"},
                   "", {ProgramOutput::File, root.path() / "show.json"}, root.path(), deadline);
    std::ifstream showFile(root.path() / "show.json");
    const Event lastFile = Event::parse(showFile, nullptr, false);
    const bool holdsLast =
        dump && shown.succeeded() && !lastFile.is_discarded() && (*dump)["settings"] == lastFile;
    sim.closeInput();
    const auto simStatus = sim.wait(deadlineIn(kStepSeconds));

    if (failedRuns > 0) report.fail(std::to_string(failedRuns) + " corvanectl runs failed");
    if (panelFailed) report.fail("the panel's script failed");
    if (lost > 0) report.fail(std::to_string(lost) + " changes were lost");
    if (notDictionaries > 0)
        report.fail(std::to_string(notDictionaries) + " readings were not a whole dictionary");
    if (!holdsLast) report.fail("SpringBoard does not hold the last file");
    if (simStatus != 0) report.fail("corvane-sim ended badly");
    report.figure("corvanectl-writers", options.writers);
    report.figure("changes-per-writer", options.changes);
    report.figure("panel-changes", options.changes);
    report.figure("changes-made", static_cast<long>(options.writers + 1) * options.changes);
    report.figure("changes-lost", lost);
    report.figure("readings-during-the-writes", reads);
    report.figure("readings-not-a-whole-dictionary", notDictionaries);
    report.figure("springboard-holds-the-last-file", holdsLast);
    return report.finish();
}
