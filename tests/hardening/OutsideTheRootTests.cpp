// Links planted in the device's folders that lead out of the root: the programs go through their
// everyday work (settings stored, notifications posted, the panel storing, mailing and
// restarting, SpringBoard booting, unlocking and editing its settings), and no file outside the
// root may change: a sentinel folder's names, kinds and contents are the same afterwards.

#include "tests/hardening/ProgramProbe.h"
#include "tests/support/TemporaryRoot.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <map>

namespace {

// What a folder holds, recursively: each name with its kind and, for a file, its content.
std::map<std::string, std::string> snapshot(const std::filesystem::path& folder) {
    std::map<std::string, std::string> entries;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
        const auto name = entry.path().lexically_relative(folder).string();
        const auto kind = entry.symlink_status().type();
        if (kind == std::filesystem::file_type::regular) entries[name] = "file:" + fileBytes(entry.path());
        else if (kind == std::filesystem::file_type::directory) entries[name] = "folder";
        else if (kind == std::filesystem::file_type::fifo) entries[name] = "pipe";
        else entries[name] = "other";
    }
    return entries;
}

class OutsideTheRoot : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(root_);
        std::filesystem::copy(std::filesystem::path(CORVANE_DEVICE_DIR) / "Library", root_ / "Library",
                              std::filesystem::copy_options::recursive);
        for (const char* folder : {"tmp", "notify", "outbox", "Preferences", "var/run"}) {
            std::filesystem::create_directories(sentinel_ / folder);
            std::ofstream(sentinel_ / folder / "precious.txt") << "kept as it is: " << folder;
        }
        std::ofstream(sentinel_ / "Preferences/com.quillmoss.corvane.plist") << "<plist><dict/></plist>";
        std::ofstream(sentinel_ / "var/run/springboard.pid") << "1\n";
        // A pipe named like a process's, whose reader is gone: a post would remove it.
        ASSERT_EQ(::mkfifo((sentinel_ / "notify/424242").c_str(), 0600), 0);
        before_ = snapshot(sentinel_);
    }

    // Puts a link at device path `at` to `target` in the sentinel folder.
    void plant(const std::string& at, const std::string& target) {
        const auto link = root_ / at;
        std::filesystem::create_directories(link.parent_path());
        std::filesystem::create_directory_symlink(sentinel_ / target, link);
    }

    ProbeRun run(const char* program, std::vector<std::string> arguments, const std::string& input = "") {
        arguments.insert(arguments.begin(), {"--root", root_.string()});
        const ProbeRun run = probeProgram(program, arguments, input, scratch_.path(), std::chrono::seconds(8));
        EXPECT_FALSE(run.timedOut);
        EXPECT_EQ(run.signal, 0);
        return run;
    }

    // The everyday work of every program on the device.
    void useEveryProgram() {
        run(CORVANECTL_PATH, {"prefs", "set", "cvrUnlockType", "1"});
        run(CORVANECTL_PATH, {"prefs", "delete", "cvrUnlockType"});
        run(CORVANECTL_PATH, {"notify", "com.quillmoss.corvane.prefsUpdated"});
        run(CORVANECTL_PATH, {"prefs", "show"});
        run(CORVANE_SETTINGS_PATH, {"--script", "-"},
            "open\nset cvrUnlockType 2\ntap chooseColor:\nslider red 0.5\ntap sendMail:\nmail send\n"
            "tap respringButtonClicked:\n");
        run(CORVANE_SIM_PATH, {"--script", "-"},
            "boot\nnotify com.quillmoss.corvane.prefsUpdated\nlock\nwake\ndown 40 250\nmove 270 250\nup\n"
            "wait 700\ndump settings\n");
        for (const char* edit : {"prefs set cvrUnlockType 3\n", "prefs delete cvrUnlockType\n",
                                 "prefs file settings.plist\n", "prefs clear\n"}) {
            std::ofstream(scratch_.path() / "edit.sim") << edit;
            run(CORVANE_SIM_PATH, {"--script", (scratch_.path() / "edit.sim").string()});
        }
    }

    TemporaryRoot scratch_;
    std::filesystem::path root_ = scratch_.path() / "root";
    std::filesystem::path sentinel_ = scratch_.path() / "sentinel";
    std::map<std::string, std::string> before_;
};

TEST_F(OutsideTheRoot, LinkedFoldersOfTheDeviceLeaveTheirTargetsAsTheyWere) {
    std::ofstream(scratch_.path() / "settings.plist") << "<plist><dict><key>cvrUnlockType</key><integer>4</integer></dict></plist>";
    plant("tmp", "tmp");
    plant("var/run/notify", "notify");
    plant("var/mail/outbox", "outbox");
    plant("User/Library/Preferences", "Preferences");
    useEveryProgram();
    EXPECT_EQ(snapshot(sentinel_), before_);
}

TEST_F(OutsideTheRoot, ALinkedSettingsFileAndRunFolderLeaveTheirTargetsAsTheyWere) {
    std::ofstream(scratch_.path() / "settings.plist") << "<plist><dict><key>cvrUnlockType</key><integer>4</integer></dict></plist>";
    std::filesystem::create_directories(root_ / "User/Library/Preferences");
    std::filesystem::create_symlink(sentinel_ / "Preferences/com.quillmoss.corvane.plist",
                                    root_ / "User/Library/Preferences/com.quillmoss.corvane.plist");
    plant("var/run", "var/run");
    useEveryProgram();
    EXPECT_EQ(snapshot(sentinel_), before_);
}

}  // namespace
