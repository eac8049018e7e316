// The notification flood: before every settings change, more notifications of other names than a
// pipe holds reach a running SpringBoard that is not reading (it waits for its next script line),
// so the change's own notification finds the pipe full. Every change must still reach the lock
// screen: once SpringBoard reads again it holds the new settings.

#include "stress/Checks.h"
#include "stress/StressReport.h"
#include "stress/TraceEvents.h"

#include "platform/foundation/DeviceRoot.h"
#include "platform/foundation/NotifyTransport.h"
#include "platform/foundation/PreferencesFile.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <string>

namespace {

constexpr double kStepSeconds = 60;
constexpr const char* kPrefsUpdated = "com.quillmoss.corvane.prefsUpdated";
constexpr int kOtherNames = 16;

// The names of the flood: a few, as a busy device posts the same ones over and over. They are
// shorter than the settings change's name: a pipe too full for one of them has no room for it.
constexpr long kOtherLineBytes = 25;
std::string otherName(int i) {
    std::string name = "stress.flood." + std::to_string(i % kOtherNames) + ".";
    name.resize(kOtherLineBytes - 1, 'x');
    return name;
}

// Round `round`'s drag distance: a value no other round stores.
double distanceOfRound(int round) {
    return 1.0 + round / 100000.0;
}

// The names marked in the marks folder of process `pid`: posts that found its pipe full.
std::vector<std::string> marksWaiting(const std::filesystem::path& root, pid_t pid) {
    std::vector<std::string> names;
    std::error_code ec;
    const auto folder = root / "var/run/notify" / (std::to_string(pid) + ".pending");
    for (const auto& mark : std::filesystem::directory_iterator(folder, ec)) {
        std::ifstream in(mark.path());
        names.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    return names;
}

}  // namespace

int runNotificationFlood(const StressPaths& paths, const FloodOptions& options) {
    StressReport report("notification-flood");
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
    // Posted straight into the transport, as another process of the device posts: this process
    // hears nothing itself.
    NotifyTransport transport(DeviceRoot::resolve("/var/run/notify"));
    long posted = 0, delivered = 0;
    int reached = 0, rounds = 0, foundFull = 0;
    for (int round = 0; round < options.rounds; ++round, ++rounds) {
        // SpringBoard may still be reading what came before as the flood begins: the flood goes on
        // past its size until the pipe takes no more.
        for (long bytes = 0;
             bytes < options.floodBytes || marksWaiting(root.path(), sim.pid()).empty();
             bytes += kOtherLineBytes, ++posted) {
            transport.post(otherName(static_cast<int>(posted)));
        }
        const auto error = setPrefsValue(root.settingsFile(), "cvrDragDistance",
                                         PlistValue(distanceOfRound(round)));
        if (!error.empty()) {
            report.fail("round " + std::to_string(round) + ": " + error);
            continue;
        }
        transport.post(kPrefsUpdated);
        const auto marks = marksWaiting(root.path(), sim.pid());
        foundFull += std::find(marks.begin(), marks.end(), kPrefsUpdated) != marks.end();
        seen.clear();
        if (!sendThroughMarker(sim, "dump settings\n",
                               "corvane.stress.round." + std::to_string(round),
                               deadlineIn(kStepSeconds), seen)) {
            report.fail("corvane-sim stopped answering in round " + std::to_string(round));
            break;
        }
        bool arrived = false;
        for (const auto& event : seen) {
            delivered += isEvent(event, "notification");
            if (!isEvent(event, "dump")) continue;
            const auto& distance = event["settings"]["dragDistance"];
            arrived = distance.is_number() &&
                      std::abs(distance.get<double>() - distanceOfRound(round)) < 1e-9;
        }
        if (arrived) {
            ++reached;
        } else {
            report.fail("the change of round " + std::to_string(round) +
                        " did not reach the lock screen");
        }
    }
    sim.closeInput();
    if (sim.wait(deadlineIn(kStepSeconds)) != 0) report.fail("corvane-sim ended badly");
    if (foundFull < rounds)
        report.fail("only " + std::to_string(foundFull) + " changes found the pipe full");
    report.figure("rounds", rounds);
    report.figure("other-bytes-per-round", options.floodBytes);  // at least
    report.figure("other-notifications-posted", posted);
    report.figure("notifications-delivered", delivered);
    report.figure("changes", rounds);
    report.figure("changes-that-found-the-pipe-full", foundFull);
    report.figure("changes-reaching-the-lock-screen", reached);
    return report.finish();
}
