// The notification storm: another process rewrites the settings file now and then and posts
// "com.quillmoss.corvane.prefsUpdated" thousands of times through the notification centre, while
// a finger drags the lock screen of a running SpringBoard fed its script as it goes. The finger
// goes down before the storm and lifts after it: every move must show in where the lock screen
// is, and the drag must end in exactly one unlock; a few whole drags follow. The process must not
// fail, every settings file must be written whole, every post must reach SpringBoard (below), and
// once the storm is over SpringBoard must hold the settings of the last file written.
//
// SpringBoard reads its notification pipe between the script's lines, so it normally hears every
// post by itself. Only when it falls behind far enough for the pipe to fill (a machine so loaded
// that SpringBoard gets no time while the poster runs) does the transport leave a mark of the name
// instead of the line, and SpringBoard hears the name once for all the posts the mark stands for.
// The storm watches SpringBoard's marks folder to tell the two apart.

#include "stress/Checks.h"
#include "stress/StressReport.h"
#include "stress/TraceEvents.h"

#include "platform/foundation/DeviceRoot.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/PreferencesFile.h"

#include <fcntl.h>
#include <sys/inotify.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>

namespace {

constexpr double kStepSeconds = 30;
constexpr const char* kPrefsUpdated = "com.quillmoss.corvane.prefsUpdated";

// The versions of the settings the poster alternates between, and the one it writes last. All
// keep the drag gesture, so that the finger's work means the same whatever is loaded.
PlistDictionary settingsVersion(int version) {
    PlistDictionary settings{{"cvrUnlockType", PlistValue(0)}};
    settings.insert_or_assign("cvrOverlayTransparency", PlistValue(0.3 + 0.1 * version));
    settings.insert_or_assign("cvrUnlockSound", PlistValue(version % 2 == 1));
    settings.insert_or_assign("cvrDragDistance", PlistValue(1.0 - 0.05 * version));
    return settings;
}
constexpr int kLastVersion = 2;

// What the poster did, sent back through a pipe as it ends.
struct PosterTally {
    long posted = 0;       // posts the notification centre took, counted by its post tap
    int written = 0;       // settings files written whole
    int failedWrites = 0;  // settings writes that failed
    char firstFailure[240] = {};
};

// The poster: writes a version every `postsPerWrite` posts, posts `posts` times, then writes the
// last version and posts once more. Runs in a process of its own; sends its tally to `tallyFd`
// and ends with status 0 only when every write succeeded.
[[noreturn]] void postStorm(const StormOptions& options, int tallyFd) {
    auto* center = CFNotificationCenterGetDarwinNotifyCenter();
    PosterTally tally;
    CFNotificationCenterSetPostTap(
        center, [&tally](std::string_view name) { tally.posted += name == kPrefsUpdated; });
    const auto file = DeviceRoot::resolve("/User/Library/Preferences/com.quillmoss.corvane.plist");
    const auto write = [&](int version, int atPost) {
        const PrefsEditError error = writePrefsDictionary(file, settingsVersion(version));
        if (error.empty()) {
            ++tally.written;
        } else if (tally.failedWrites++ == 0) {
            const std::string text =
                "the write before post " + std::to_string(atPost) + ": " + error;
            std::strncpy(tally.firstFailure, text.c_str(), sizeof tally.firstFailure - 1);
        }
    };
    for (int i = 0; i < options.posts; ++i) {
        if (i % options.postsPerWrite == 0) write((i / options.postsPerWrite) % 2, i);
        CFNotificationCenterPostNotification(center, kPrefsUpdated, nullptr, nullptr, true);
    }
    write(kLastVersion, options.posts);
    CFNotificationCenterPostNotification(center, kPrefsUpdated, nullptr, nullptr, true);
    const bool told = ::write(tallyFd, &tally, sizeof tally) == static_cast<ssize_t>(sizeof tally);
    ::_exit(told && tally.failedWrites == 0 ? 0 : 1);
}

// The poster's tally, read once it has ended; nothing when it sent none.
std::optional<PosterTally> readTally(int tallyFd) {
    PosterTally tally;
    ssize_t n;
    do {
        n = ::read(tallyFd, &tally, sizeof tally);
    } while (n < 0 && errno == EINTR);
    if (n != static_cast<ssize_t>(sizeof tally)) return std::nullopt;
    tally.firstFailure[sizeof tally.firstFailure - 1] = '\0';
    return tally;
}

// Watches the marks folders of the processes listening under `notifyFolder` ("PID.pending" beside
// each one's pipe) from the storm's start: a post that finds a pipe full writes a new file there
// (a temporary mark, then the mark linked in place), and nothing else does. So no file made there
// means every post went into the pipe as a line of its own, and the files made are at least the
// posts that found the pipe full.
class FullPipeWatch {
public:
    explicit FullPipeWatch(const std::filesystem::path& notifyFolder) {
        fd_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
        if (fd_ < 0) {
            problem_ = std::string("inotify: ") + std::strerror(errno);
            return;
        }
        std::error_code ec;
        for (const auto& entry : std::filesystem::directory_iterator(notifyFolder, ec)) {
            if (entry.path().extension() != ".pending" || !entry.is_directory(ec)) continue;
            if (::inotify_add_watch(fd_, entry.path().c_str(), IN_CREATE | IN_MOVED_TO) < 0) {
                problem_ = "cannot watch " + entry.path().string() + ": " + std::strerror(errno);
            }
        }
    }
    ~FullPipeWatch() {
        if (fd_ >= 0) ::close(fd_);
    }
    FullPipeWatch(const FullPipeWatch&) = delete;
    FullPipeWatch& operator=(const FullPipeWatch&) = delete;

    // Why the folders cannot be watched; empty when they can.
    const std::string& problem() const { return problem_; }

    // Files made in the marks folders so far; -1 when the watch lost count (its queue overflowed).
    long filesMade() {
        alignas(inotify_event) char buffer[16384];
        for (ssize_t n; (n = ::read(fd_, buffer, sizeof buffer)) > 0;) {
            for (char* at = buffer; at < buffer + n;) {
                const auto* event = reinterpret_cast<const inotify_event*>(at);
                overflowed_ = overflowed_ || (event->mask & IN_Q_OVERFLOW);
                made_ += (event->mask & (IN_CREATE | IN_MOVED_TO)) != 0;
                at += sizeof(inotify_event) + event->len;
            }
        }
        return overflowed_ ? -1 : made_;
    }

private:
    int fd_ = -1;
    std::string problem_;
    long made_ = 0;
    bool overflowed_ = false;
};

// One whole drag to the right: the finger wanders back and forth short of the limit, then goes
// past it.
std::string dragLines(int moves) {
    std::string lines = "lock\nwake\ndown 40 250\n";
    for (int i = 0; i < moves; ++i) {
        lines += "move " + std::to_string(40 + (i * 7) % 150) + " " + std::to_string(250 + i % 5) + "\n";
    }
    return lines + "move 200 250\nmove 270 250\nup\nwait 700\n";
}

// What `corvanectl prefs show` prints for the root: the tweak's own reading of the file.
Event settingsOfFile(const StressPaths& paths, const StressRoot& root) {
    ChildProcess show(paths.program("corvanectl"), {"--root", root.path().string(), "prefs", "show"},
                      root.path() / "corvanectl-stderr.txt");
    show.closeInput();
    const auto line = show.readLine(deadlineIn(kStepSeconds));
    show.wait(deadlineIn(kStepSeconds));
    return line ? Event::parse(*line, nullptr, false) : Event();
}

class Storm {
public:
    Storm(const StressPaths& paths, const StormOptions& options, const StressRoot& root, StressReport& report)
        : paths_(paths),
          options_(options),
          root_(root),
          report_(report),
          sim_(paths.program("corvane-sim"), {"--root", root.path().string(), "--script", "-"},
               root.path() / "sim-stderr.txt") {}

    void run() {
        if (!writePrefsDictionary(root_.settingsFile(), settingsVersion(0)).empty()) {
            report_.fail("cannot write the first settings");
            return;
        }
        if (!step("boot\ndown 60 432\nmove 280 432\nup\nwait 400\n", "corvane.stress.booted")) return;
        if (!step("lock\nwake\ndown 40 250\n", "corvane.stress.finger-down")) return;
        FullPipeWatch fullPipes(DeviceRoot::resolve("/var/run/notify"));
        if (!fullPipes.problem().empty()) report_.fail(fullPipes.problem());
        delivered_ = 0;  // from here on, only the poster posts "prefsUpdated"
        int tally[2];
        if (::pipe2(tally, O_CLOEXEC) != 0) {
            report_.fail(std::string("cannot make the poster's pipe: ") + std::strerror(errno));
            return;
        }
        const pid_t poster = ::fork();
        if (poster == 0) {
            ::close(tally[0]);
            postStorm(options_, tally[1]);
        }
        ::close(tally[1]);
        int status = -1;
        bool stormOver = false;
        for (int batch = 1; alive_ && !stormOver; ++batch) {
            stormOver = ::waitpid(poster, &status, WNOHANG) == poster;
            moveFinger(batch);
        }
        if (!stormOver) ::waitpid(poster, &status, 0);
        takeTally(readTally(tally[0]), status);
        ::close(tally[0]);
        liftFinger();
        for (int drag = 1; alive_ && drag <= kDragsAfter; ++drag) runDrag(drag);
        if (alive_) compareSettings();
        if (alive_) judgeDeliveries(fullPipes.filesMade());
        finish();
    }

private:
    std::optional<std::vector<Event>> step(const std::string& lines, const std::string& marker) {
        std::vector<Event> seen;
        if (!sendThroughMarker(sim_, lines, marker, deadlineIn(kStepSeconds), seen)) {
            alive_ = false;
            report_.fail("corvane-sim stopped answering at " + marker);
            return std::nullopt;
        }
        for (const auto& event : seen) delivered_ += isNotification(event, kPrefsUpdated);
        if (countEvents(seen, "error") > 0) report_.fail("an error event at " + marker);
        return seen;
    }

    // A batch of moves of the finger that is down, short of the unlock; the lock screen must be
    // where the last one put it.
    void moveFinger(int batch) {
        std::string lines;
        int x = 40, y = 250;
        for (int i = 0; i < kMovesPerBatch; ++i) {
            x = 40 + (batch * 13 + i * 7) % 150;
            y = 248 + i % 5;
            lines += "move " + std::to_string(x) + " " + std::to_string(y) + "\n";
        }
        const auto seen = step(lines + "dump session\n", "corvane.stress.batch." + std::to_string(batch));
        if (!seen) return;
        ++batches_;
        movesSent_ += kMovesPerBatch;
        if (countEvents(*seen, "unlock-request") != 0) report_.fail("batch " + std::to_string(batch) + " unlocked short of the limit");
        const Event* session = nullptr;
        for (const auto& event : *seen) {
            if (isEvent(event, "dump")) session = &event;
        }
        const Event expected = {x - 40.0, y - 250.0};
        const bool followed = session && (*session)["session"]["view"]["frame"].is_array() &&
                              Event{(*session)["session"]["view"]["frame"][0], (*session)["session"]["view"]["frame"][1]} == expected;
        if (followed) ++batchesFollowed_;
        else report_.fail("after batch " + std::to_string(batch) + " the lock screen is not where the finger put it");
    }

    // The finger goes past the limit and lifts: exactly one unlock.
    void liftFinger() {
        const auto seen = step("move 200 250\nmove 270 250\nup\nwait 700\n", "corvane.stress.finger-up");
        if (!seen) return;
        movesSent_ += 3;
        longDragUnlocked_ = countEvents(*seen, "unlock-request") == 1 && countEvents(*seen, "unlocked") == 1;
        if (!longDragUnlocked_) report_.fail("the drag across the storm did not end in exactly one unlock");
    }

    void runDrag(int drag) {
        const auto seen = step(dragLines(kMovesPerBatch), "corvane.stress.drag." + std::to_string(drag));
        if (!seen) return;
        ++drags_;
        movesSent_ += kMovesPerBatch + 4;
        if (countEvents(*seen, "unlock-request") != 1 || countEvents(*seen, "unlocked") != 1) {
            report_.fail("drag " + std::to_string(drag) + " after the storm did not end in exactly one unlock");
        } else {
            ++unlocked_;
        }
    }

    // SpringBoard's settings, once what was posted last has been read, against the last file.
    void compareSettings() {
        std::vector<Event> seen;
        const auto deadline = deadlineIn(kStepSeconds);
        const auto dump = sim_.send("wait 10\ndump settings\n", deadline)
            ? readEventsUntil(sim_, deadline, [](const Event& e) {
                  return isEvent(e, "dump") && e.value("what", "") == "settings"; }, seen)
            : std::nullopt;
        for (const auto& event : seen) delivered_ += isNotification(event, kPrefsUpdated);
        const Event expected = settingsOfFile(paths_, root_);
        settingsMatch_ = dump && !expected.is_discarded() && (*dump)["settings"] == expected;
        if (!settingsMatch_) {
            report_.fail("SpringBoard's settings differ from the last file written: " +
                         (dump ? (*dump)["settings"].dump() : std::string("no dump")) + " against " +
                         expected.dump());
        }
    }

    // What the poster says it did; every settings write must have succeeded.
    void takeTally(const std::optional<PosterTally>& tally, int status) {
        if (!tally) {
            report_.fail("the poster ended without telling what it did (status " +
                         std::to_string(status) + ")");
            return;
        }
        posted_ = tally->posted;
        written_ = tally->written;
        if (tally->failedWrites > 0) {
            report_.fail(std::to_string(tally->failedWrites) +
                         " of the poster's settings writes failed; the first, " +
                         tally->firstFailure);
        }
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) report_.fail("the poster failed");
    }

    // Every post reached SpringBoard. When no pipe filled, that is one delivery a post. When one
    // did, posts that found it full are heard together, at least once after the last of them:
    // no more deliveries than posts, and no fewer than the posts that found room plus one.
    // (That the last post was heard after it was made shows in SpringBoard holding the last
    // file's settings.)
    void judgeDeliveries(long filesMade) {
        marksFiles_ = filesMade;
        const std::string tally =
            std::to_string(delivered_) + " of " + std::to_string(posted_) + " posts delivered";
        if (filesMade == 0) {
            if (delivered_ != posted_) {
                report_.fail(tally + " with no pipe ever full: every post must be heard once");
            }
            return;
        }
        if (delivered_ > posted_) report_.fail(tally + ": more deliveries than posts");
        const long atLeast = filesMade < 0 ? 1 : std::max(1L, posted_ - filesMade + 1);
        if (delivered_ < atLeast) {
            report_.fail(tally + "; a pipe was full for at most " +
                         (filesMade < 0 ? std::string("all") : std::to_string(filesMade)) +
                         " of them, so at least " + std::to_string(atLeast) +
                         " must have been heard");
        }
    }

    void finish() {
        sim_.closeInput();
        const auto status = sim_.wait(deadlineIn(kStepSeconds));
        if (status != 0) report_.fail("corvane-sim ended with status " + (status ? std::to_string(*status) : "none (hung)"));
        report_.figure("notifications-posted", posted_);
        report_.figure("settings-files-written", written_);
        report_.figure("notifications-delivered-to-springboard", delivered_);
        report_.figure("move-batches-during-the-drag", batches_);
        report_.figure("batches-the-lock-screen-followed", batchesFollowed_);
        report_.figure("drag-across-the-storm-ended-in-one-unlock", longDragUnlocked_);
        report_.figure("whole-drags-after-the-storm", drags_);
        report_.figure("whole-drags-ending-in-one-unlock", unlocked_);
        report_.figure("touches-sent", movesSent_);
        report_.figure("final-settings-match-the-last-file", settingsMatch_);
        report_.figure("sim-exit-status", status ? *status : -1);
        report_.figure("files-made-in-springboard-marks-folder", marksFiles_);
    }

    static constexpr int kMovesPerBatch = 50;
    static constexpr int kDragsAfter = 3;
    const StressPaths& paths_;
    const StormOptions& options_;
    const StressRoot& root_;
    StressReport& report_;
    ChildProcess sim_;
    bool alive_ = true, settingsMatch_ = false, longDragUnlocked_ = false;
    int batches_ = 0, batchesFollowed_ = 0, drags_ = 0, unlocked_ = 0, written_ = 0;
    long delivered_ = 0, posted_ = 0, movesSent_ = 0, marksFiles_ = 0;
};

}  // namespace

int runNotificationStorm(const StressPaths& paths, const StormOptions& options) {
    StressReport report("notification-storm");
    const StressRoot root(paths, true);
    DeviceRoot::set(root.path());
    Storm(paths, options, root, report).run();
    return report.finish();
}
