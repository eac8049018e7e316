// Output that cannot be written. Every program writes what it has to say onto the device that is
// always full (/dev/full), into a pipe whose reader has gone, and onto a file system that is
// really full (a small tmpfs filled to the last block, where this process may mount one); the
// settings writers also store onto the full one. Each must end with a status that is not 0 and
// exactly one line on standard error, never hang, and never leave a settings file cut short.

#include "stress/Checks.h"
#include "stress/ProgramRun.h"
#include "stress/StressReport.h"

#include "platform/foundation/PreferencesFile.h"

#include <sys/mount.h>

#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr double kStepSeconds = 30;

// A tmpfs of a few blocks mounted on a folder of its own, then filled; unmounted when it goes.
class FullDisk {
public:
    explicit FullDisk(const std::filesystem::path& folder) : folder_(folder) {
        std::filesystem::create_directories(folder_);
        mounted_ =
            ::mount("tmpfs", folder_.c_str(), "tmpfs", MS_NOSUID | MS_NODEV, "size=256k") == 0;
    }
    ~FullDisk() {
        if (mounted_) ::umount2(folder_.c_str(), MNT_DETACH);
    }
    bool mounted() const { return mounted_; }
    const std::filesystem::path& folder() const { return folder_; }
    // Writes a filler file until no byte more fits.
    void fill() const {
        std::ofstream filler(folder_ / "filler", std::ios::binary);
        const std::string block(4096, 'f');
        while (filler.write(block.data(), block.size())) {
        }
        filler.close();
        std::ofstream last(folder_ / "filler.tail", std::ios::binary);
        while (last.put('f')) {
        }
    }

private:
    std::filesystem::path folder_;
    bool mounted_ = false;
};

struct Case {
    std::string name;
    const char* program;
    std::vector<std::string> arguments;  // after --root
    std::string input;
};

const std::string kSimScript = "boot\nlock\nwake\ndump settings\n";
const std::string kSettingsScript = "open\nrows\n";

// The programs with what they print on standard output.
std::vector<Case> printingCases() {
    return {
        {"corvanectl prefs show", "corvanectl", {"prefs", "show"}, ""},
        {"corvanectl colour parse", "corvanectl", {"colour", "parse", "{1, 0, 0, 1}"}, ""},
        {"corvane-sim --script", "corvane-sim", {"--script", "-"}, kSimScript},
        {"corvane-sim --keep-alive --script",
         "corvane-sim",
         {"--keep-alive", "--script", "-"},
         kSimScript},
        {"corvane-settings --script", "corvane-settings", {"--script", "-"}, kSettingsScript},
    };
}

class OutputFailures {
public:
    OutputFailures(const StressPaths& paths, StressReport& report)
        : paths_(paths), report_(report), device_(paths, true), scratch_(paths, false) {}

    void run() {
        for (const auto& c : printingCases()) {
            expectFailure(c, {ProgramOutput::File, "/dev/full"}, "/dev/full");
            expectFailure(c, {ProgramOutput::ClosedPipe}, "a closed pipe");
        }
        for (const auto* program : {"corvane-sim", "corvane-settings"}) {
            const Case c{std::string(program) + " --trace /dev/full",
                         program,
                         {"--script", "-", "--trace", "/dev/full"},
                         std::string(program) == "corvane-sim" ? kSimScript : kSettingsScript};
            expectFailure(c, {}, "/dev/full");
        }
        onAFullDisk();
        report_.figure("runs", runs_);
        report_.figure("runs-ending-non-zero-with-one-line", answered_);
        report_.figure("hangs", hangs_);
        report_.figure("full-disk", fullDisk_);
        report_.figure("settings-files-cut-short", cutShort_);
    }

private:
    // Runs the case on `root` (the installed device when empty): it must end, not with 0, and
    // with one line on standard error (or, for a script line that failed, with status 2 and its
    // "error" event in the trace instead).
    void expectFailure(const Case& c, const ProgramOutput& output, const std::string& where,
                       const std::filesystem::path& root = {}, bool scriptError = false) {
        std::vector<std::string> arguments{"--root",
                                           (root.empty() ? device_.path() : root).string()};
        arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
        const auto result = runProgram(paths_.program(c.program), arguments, c.input, output,
                                       scratch_.path(), deadlineIn(kStepSeconds));
        ++runs_;
        hangs_ += result.hung;
        const bool answered =
            scriptError ? result.status == 2 : result.status != 0 && result.errorLines() == 1;
        if (!result.hung && answered) {
            ++answered_;
        } else {
            report_.fail(c.name + " onto " + where + ": status " + std::to_string(result.status) +
                         (result.hung ? ", hung" : "") + ", standard error: " + result.errors);
        }
    }

    // Everything that writes, onto a file system with no room left: the printed output, the
    // trace files, and the settings file of a device that lives there.
    void onAFullDisk() {
        FullDisk disk(scratch_.path() / "full");
        if (!disk.mounted()) {
            fullDisk_ = "not tried: no file system can be mounted here (mounting takes root)";
            return;
        }
        const auto root = disk.folder() / "device";
        const auto settings = root / "User/Library/Preferences/com.quillmoss.corvane.plist";
        std::filesystem::create_directories(settings.parent_path());
        const std::string stored =
            "<?xml version=\"1.0\"?><plist version=\"1.0\"><dict><key>cvrUnlockType</key>"
            "<integer>4</integer></dict></plist>";
        std::ofstream(settings) << stored;
        std::ofstream(scratch_.path() / "other.plist") << std::string(8192, ' ') << stored;
        std::ofstream(
            prefsLockFileOf(settings));  // made while there is room, as earlier writes would
        disk.fill();
        fullDisk_ = "a 256 KiB tmpfs filled to the last byte";

        for (const auto& c : printingCases()) {
            expectFailure(c, {ProgramOutput::File, disk.folder() / "out.txt"}, "a full disk");
        }
        for (const auto* program : {"corvane-sim", "corvane-settings"}) {
            const Case c{std::string(program) + " --trace onto a full disk",
                         program,
                         {"--script", "-", "--trace", (disk.folder() / "trace.jsonl").string()},
                         std::string(program) == "corvane-sim" ? kSimScript : kSettingsScript};
            expectFailure(c, {}, "a full disk");
        }
        const Case writers[] = {
            {"corvanectl prefs set", "corvanectl", {"prefs", "set", "cvrUnlockType", "2"}, ""},
            {"corvane-sim prefs set",
             "corvane-sim",
             {"--script", "-"},
             "prefs set cvrUnlockType 2\n"},
            {"corvane-sim prefs file",
             "corvane-sim",
             {"--script", (scratch_.path() / "copy.sim").string()},
             ""},
        };
        std::ofstream(scratch_.path() / "copy.sim") << "prefs file other.plist\n";
        for (const auto& c : writers) {
            const bool script = std::string(c.program) == "corvane-sim";
            expectFailure(c, {ProgramOutput::File, scratch_.path() / "trace.jsonl"}, "a full disk",
                          root, script);
            std::ifstream now(settings);
            const std::string bytes{std::istreambuf_iterator<char>(now),
                                    std::istreambuf_iterator<char>()};
            if (bytes != stored) {
                ++cutShort_;
                report_.fail(c.name +
                             " onto a full disk changed the settings file: " + bytes.substr(0, 80));
            }
        }
    }

    const StressPaths& paths_;
    StressReport& report_;
    StressRoot device_, scratch_;
    int runs_ = 0, answered_ = 0, hangs_ = 0, cutShort_ = 0;
    std::string fullDisk_;
};

}  // namespace

int runOutputFailures(const StressPaths& paths) {
    StressReport report("output-failures");
    OutputFailures(paths, report).run();
    return report.finish();
}
