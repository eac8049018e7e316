// "Never half a settings file": a writer process stores a settings dictionary of a few hundred
// KiB through the project's atomic writer, alternating between two versions, and is killed with
// SIGKILL at a random moment; after every kill this process (not the writer) reads the file,
// which must be one version or the other exactly, and counts the temporary files in its folder:
// a killed writer may leave its one in-flight file, and none may pile up across kills.

#include "stress/Checks.h"
#include "stress/StressReport.h"

#include "platform/foundation/DeviceRoot.h"
#include "platform/foundation/PreferencesFile.h"

#include <signal.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <random>
#include <string>
#include <thread>

namespace {

// One version of the settings: many keys, each value naming the version.
PlistDictionary settingsVersion(const std::string& name, int keys) {
    PlistDictionary dictionary{{"version", PlistValue(name)}, {"cvrUnlockType", PlistValue(3)}};
    for (int i = 0; i < keys; ++i) {
        const std::string index = std::to_string(i);
        dictionary.insert_or_assign("stress.key." + index,
                                    PlistValue(name + " value " + index + std::string(64, '.')));
    }
    return dictionary;
}

// Writes the two versions in turn until killed, counting finished writes in `writes`.
[[noreturn]] void writeForever(const std::filesystem::path& file, const PlistDictionary& older,
                               const PlistDictionary& newer, std::atomic<long>* writes) {
    for (long i = 0;; ++i) {
        if (writePrefsDictionary(file, i % 2 ? newer : older).empty()) ++*writes;
    }
}

// Writes once and ends normally: the write a later, healthy writer makes.
bool writeOnce(const std::filesystem::path& file, const PlistDictionary& dictionary) {
    const pid_t pid = ::fork();
    if (pid == 0) ::_exit(writePrefsDictionary(file, dictionary).empty() ? 0 : 1);
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// The names in the settings folder other than the settings file and its lock: temporary files.
std::vector<std::string> temporaryFiles(const std::filesystem::path& file) {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(file.parent_path(), ec)) {
        const auto name = entry.path().filename();
        if (name != file.filename() && name != prefsLockFileOf(file).filename()) {
            names.push_back(name);
        }
    }
    return names;
}

struct Tally {
    long older = 0, newer = 0, torn = 0, midWrite = 0;
    std::size_t mostTemporaries = 0;
    std::string temporaryName;
};

// Checks the file and the folder after kill number `kill`.
void checkAfterKill(const std::filesystem::path& file, const PlistValue& older,
                    const PlistValue& newer, int kill, Tally& tally, StressReport& report) {
    const auto read = readPropertyListFile(file);
    if (read.value && *read.value == older) {
        ++tally.older;
    } else if (read.value && *read.value == newer) {
        ++tally.newer;
    } else {
        ++tally.torn;
        report.fail("after kill " + std::to_string(kill) + " the file is neither version whole");
    }
    const auto temporaries = temporaryFiles(file);
    if (!temporaries.empty()) {
        ++tally.midWrite;
        tally.temporaryName = temporaries.front();
    }
    tally.mostTemporaries = std::max(tally.mostTemporaries, temporaries.size());
    if (temporaries.size() > 1) {
        report.fail("after kill " + std::to_string(kill) + " the folder holds " +
                    std::to_string(temporaries.size()) + " temporary files");
    }
}

}  // namespace

int runAtomicWriteCheck(const StressPaths& paths, const AtomicWriteOptions& options) {
    StressReport report("atomic-write");
    const StressRoot root(paths, false);
    DeviceRoot::set(root.path());
    const auto file = root.settingsFile();
    const PlistDictionary older = settingsVersion("old", options.keys);
    const PlistDictionary newer = settingsVersion("new", options.keys);
    if (!writeOnce(file, older)) report.fail("the first write failed");
    report.figure("file-bytes", std::filesystem::file_size(file));

    auto* writes = static_cast<std::atomic<long>*>(::mmap(nullptr, sizeof(std::atomic<long>),
        PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0));
    new (writes) std::atomic<long>(0);
    std::mt19937 random(options.seed);
    std::uniform_int_distribution<int> delayUs(0, options.maxDelayMs * 1000);
    Tally tally;
    const PlistValue olderValue(older), newerValue(newer);
    for (int kill = 1; kill <= options.kills; ++kill) {
        const pid_t writer = ::fork();
        if (writer == 0) writeForever(file, older, newer, writes);
        // The kill's moment: a real process is left to run for a random while.
        std::this_thread::sleep_for(std::chrono::microseconds(delayUs(random)));
        ::kill(writer, SIGKILL);
        ::waitpid(writer, nullptr, 0);
        checkAfterKill(file, olderValue, newerValue, kill, tally, report);
    }
    const bool healthy = writeOnce(file, newer);
    const auto left = temporaryFiles(file);
    if (!healthy) report.fail("a healthy write after the kills failed");
    if (!left.empty()) {
        report.fail(std::to_string(left.size()) +
                    " temporary files of killed writers are still there after a healthy write");
    }
    report.figure("kills", options.kills);
    report.figure("max-delay-ms", options.maxDelayMs);
    report.figure("writes-completed", writes->load());
    report.figure("kills-that-left-a-temporary-file", tally.midWrite);
    report.figure("whole-old-after-kill", tally.older);
    report.figure("whole-new-after-kill", tally.newer);
    report.figure("torn-or-unreadable", tally.torn);
    report.figure("most-temporary-files-after-a-kill", tally.mostTemporaries);
    report.figure("temporary-files-after-a-healthy-write", left.size());
    report.figure("temporary-file-name-seen", tally.temporaryName);
    return report.finish();
}
