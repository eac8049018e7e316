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

#include <cmath>
#include <fstream>
#include <string>

namespace {

constexpr double kStepSeconds = 60;
constexpr const char* kPrefsUpdated = "com.quillmoss.corvane.prefsUpdated";
constexpr int kOtherNames = 16;

// The names of the flood: a few, as a busy device posts the same ones over and over.
std::string otherName(int i) {
    std::string name = "corvane.stress.flood.other." + std::to_string(i % kOtherNames) + ".";
    name.resize(64, 'x');
    return name;
}

// Round `round`'s drag distance: a value no other round stores.
double distanceOfRound(int round) { return 1.0 + round / 100000.0; }

// Whether a mark of `name` waits in the marks folder of process `pid`: the post found its pipe
// full.
bool markWaits(const std::filesystem::path& root, pid_t pid, const std::string& name) {
    std::error_code ec;
    const auto folder = root / "var/run/notify" / (std::to_string(pid) + ".pending");
    for (const auto& mark : std::filesystem::directory_iterator(folder, ec)) {
        std::ifstream in(mark.path());
        const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        if (text == name) return true;
    }
    return false;
}

}  // namespace

int runNotificationFlood(const StressPaths& paths, const FloodOptions& options) {
    StressReport report("notification-flood");
    const StressRoot root(paths, true);
    DeviceRoot::set(root.path());
    const auto booted = bootSpringBoard(paths.program("corvane-sim"), root.path(), {}, kStepSeconds);
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
        for (long bytes = 0; bytes < options.floodBytes; bytes += 65, ++posted) {
            transport.post(otherName(static_cast<int>(posted)));
        }
        const auto error = setPrefsValue(root.settingsFile(), "cvrDragDistance", PlistValue(distanceOfRound(round)));
        if (!error.empty()) {
            report.fail("round " + std::to_string(round) + ": " + error);
            continue;
        }
        transport.post(kPrefsUpdated);
        foundFull += markWaits(root.path(), sim.pid(), kPrefsUpdated);
        seen.clear();
        if (!sendThroughMarker(sim, "dump settings\n", "corvane.stress.round." + std::to_string(round),
                               deadlineIn(kStepSeconds), seen)) {
            report.fail("corvane-sim stopped answering in round " + std::to_string(round));
            break;
        }
        bool arrived = false;
        for (const auto& event : seen) {
            delivered += isEvent(event, "notification");
            if (!isEvent(event, "dump")) continue;
            const auto& distance = event["settings"]["dragDistance"];
            arrived = distance.is_number() && std::abs(distance.get<double>() - distanceOfRound(round)) < 1e-9;
        }
        if (arrived) {
            ++reached;
        } else {
            report.fail("the change of round " + std::to_string(round) + " did not reach the lock screen");
        }
    }
    sim.closeInput();
    if (sim.wait(deadlineIn(kStepSeconds)) != 0) report.fail("corvane-sim ended badly");
    if (foundFull < rounds) report.fail("only " + std::to_string(foundFull) + " changes found the pipe full");
    report.figure("rounds", rounds);
    report.figure("other-bytes-per-round", options.floodBytes);
    report.figure("other-notifications-posted", posted);
    report.figure("notifications-delivered", delivered);
    report.figure("changes", rounds);
    report.figure("changes-that-found-the-pipe-full", foundFull);
    report.figure("changes-reaching-the-lock-screen", reached);
    return report.finish();
}
