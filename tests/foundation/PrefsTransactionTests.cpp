// Settings changes as transactions: writers in several processes at once lose nothing, a lock
// file that is not a plain file of the device stops writers with a reason instead of being
// followed, and no writer ever writes into the file in place.

#include "platform/foundation/PreferencesFile.h"

#include "tests/support/TemporaryRoot.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <future>
#include <thread>

#include <string>
#include <vector>

namespace {

std::filesystem::path settingsIn(const TemporaryRoot& root) {
    return root / "/User/Library/Preferences/com.quillmoss.corvane.plist";
}

// Runs `work(i)` in `count` processes at once; true when every one exited 0.
template <typename Work>
bool inProcessesAtOnce(int count, Work work) {
    std::vector<pid_t> children;
    for (int i = 0; i < count; ++i) {
        const pid_t pid = ::fork();
        if (pid == 0) ::_exit(work(i) ? 0 : 1);
        children.push_back(pid);
    }
    bool allDone = true;
    for (const pid_t child : children) {
        int status = 0;
        ::waitpid(child, &status, 0);
        allDone = allDone && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }
    return allDone;
}

TEST(PrefsTransaction, WritersInManyProcessesAtOnceLoseNoValue) {
    TemporaryRoot root;
    const auto file = settingsIn(root);
    constexpr int kWriters = 8, kChanges = 25;
    const bool done = inProcessesAtOnce(kWriters, [&](int writer) {
        for (int change = 0; change < kChanges; ++change) {
            const auto key = "key" + std::to_string(writer) + "." + std::to_string(change);
            // Half set, and a quarter are deleted again by the same writer.
            if (!setPrefsValue(file, key, PlistValue(change)).empty()) return false;
            if (change % 4 == 3 && !deletePrefsValue(file, key).empty()) return false;
        }
        return true;
    });
    ASSERT_TRUE(done);
    const auto stored = readPropertyListDictionary(file);
    ASSERT_TRUE(stored);
    for (int writer = 0; writer < kWriters; ++writer) {
        for (int change = 0; change < kChanges; ++change) {
            const auto key = "key" + std::to_string(writer) + "." + std::to_string(change);
            EXPECT_EQ(stored->contains(key), change % 4 != 3) << key;
        }
    }
}

TEST(PrefsTransaction, AnEditSeesTheFileAsTheLastWriterLeftItAndMayKeepItUnwritten) {
    TemporaryRoot root;
    const auto file = settingsIn(root);
    ASSERT_EQ(setPrefsValue(file, "a", PlistValue(1)), "");
    struct stat before {};
    ::stat(file.c_str(), &before);
    std::optional<PlistDictionary> seen;
    EXPECT_EQ(editPrefsDictionary(file,
                                  [&](PlistDictionary& d) {
                                      seen = d;
                                      return PrefsEdit::Keep;
                                  }),
              "");
    struct stat after {};
    ::stat(file.c_str(), &after);
    EXPECT_EQ(seen, (PlistDictionary{{"a", PlistValue(1)}}));
    EXPECT_EQ(before.st_ino, after.st_ino);  // nothing written
}

// Another program holds the lock (here a descriptor of the test's own, which locks apart from the
// writer's): while it keeps finishing changes the writer waits on past its patience, and writes the
// moment the lock is let go; a holder that finishes none is given up on after that patience.
TEST(PrefsTransaction, AWriterWaitsOutHoldersThatFinishChangesAndGivesUpOnOneThatStopped) {
    using namespace std::chrono_literals;
    // Long beside the steps between changes, so that a busy machine's pauses do not end the wait.
    constexpr auto kPatience = 600ms;
    TemporaryRoot root;
    const auto file = settingsIn(root);
    ASSERT_EQ(setPrefsValue(file, "step", PlistValue(0)), "");
    const int held = ::open(prefsLockFileOf(file).c_str(), O_RDWR | O_CLOEXEC);
    ASSERT_GE(held, 0);
    ASSERT_EQ(::flock(held, LOCK_EX), 0);

    bool stepRan = false;
    const auto step = [&] {
        stepRan = true;
        return PrefsEditError();
    };
    auto waiting =
        std::async(std::launch::async, [&] { return withPrefsLock(file, step, kPatience); });
    // Two and a half patiences long, a change finished every tenth of one.
    for (int step = 1; step <= 25; ++step) {
        std::this_thread::sleep_for(kPatience / 10);
        ASSERT_TRUE(writePropertyListFile(file, PlistValue(PlistDictionary{{"step", step}})));
        EXPECT_EQ(waiting.wait_for(0ms), std::future_status::timeout) << "gave up at " << step;
    }
    ::flock(held, LOCK_UN);
    EXPECT_EQ(waiting.get(), "");
    EXPECT_TRUE(stepRan);

    stepRan = false;
    ASSERT_EQ(::flock(held, LOCK_EX), 0);
    const auto error = withPrefsLock(file, step, kPatience);
    EXPECT_NE(error.find("has finished no change in 0.6 seconds"), std::string::npos) << error;
    EXPECT_FALSE(stepRan);
    ::close(held);
}

// What is planted at the lock file's place: each stops the writer with a reason naming the lock,
// leaves the settings file as it was and the planted thing where it is.
TEST(PrefsTransaction, ALockFileThatIsNotAPlainFileStopsWritersWithAReason) {
    struct Planted {
        const char* what;
        void (*plant)(const std::filesystem::path& lock, const std::filesystem::path& outside);
    };
    const Planted cases[] = {
        {"a link to a file outside",
         [](const auto& lock, const auto& outside) {
             std::filesystem::create_symlink(outside, lock);
         }},
        {"a pipe", [](const auto& lock, const auto&) { ::mkfifo(lock.c_str(), 0600); }},
        {"a folder",
         [](const auto& lock, const auto&) { std::filesystem::create_directory(lock); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TemporaryRoot root;
        TemporaryRoot elsewhere;
        const auto file = settingsIn(root);
        const auto outside = elsewhere.path() / "precious";
        std::ofstream(outside) << "kept";
        ASSERT_EQ(setPrefsValue(file, "a", PlistValue(1)), "");
        const auto before = fileBytes(file);
        std::filesystem::remove(prefsLockFileOf(file));
        c.plant(prefsLockFileOf(file), outside);

        const auto error = setPrefsValue(file, "b", PlistValue(2));
        EXPECT_NE(error.find("lock"), std::string::npos) << error;
        EXPECT_EQ(fileBytes(file), before);
        EXPECT_EQ(fileBytes(outside), "kept");
    }
}

// A hard link or a symbolic link at the settings file leads to a file elsewhere: every kind of
// write replaces the link, never what it leads to.
TEST(PrefsTransaction, NoWriterWritesThroughALinkAtTheSettingsFile) {
    struct Writer {
        const char* what;
        PrefsEditError (*write)(const std::filesystem::path& file,
                                const std::filesystem::path& source);
    };
    const Writer writers[] = {
        {"set",
         [](const auto& file, const auto&) { return setPrefsValue(file, "k", PlistValue(1)); }},
        {"whole dictionary",
         [](const auto& file, const auto&) {
             return writePrefsDictionary(file, PlistDictionary{});
         }},
        {"copy", [](const auto& file, const auto& source) { return copyPrefsFile(source, file); }},
        {"remove", [](const auto& file, const auto&) { return removePrefsFile(file); }},
    };
    const std::string outsideBytes = "<plist><dict><key>mine</key><true/></dict></plist>";
    for (const bool hard : {true, false}) {
        for (const auto& w : writers) {
            SCOPED_TRACE(std::string(w.what) + (hard ? " over a hard link" : " over a link"));
            TemporaryRoot root;
            TemporaryRoot elsewhere;
            const auto file = settingsIn(root);
            const auto outside = elsewhere.path() / "theirs.plist";
            std::ofstream(outside) << outsideBytes;
            std::ofstream(elsewhere.path() / "source.plist") << "<plist><dict/></plist>";
            std::filesystem::create_directories(file.parent_path());
            if (hard) {
                std::filesystem::create_hard_link(outside, file);
            } else {
                std::filesystem::create_symlink(outside, file);
            }
            EXPECT_EQ(w.write(file, elsewhere.path() / "source.plist"), "");
            EXPECT_EQ(fileBytes(outside), outsideBytes);
        }
    }
}

TEST(PrefsTransaction, ACopyTakesAPlainFileOnlyAndKeepsTheOldSettingsOtherwise) {
    TemporaryRoot root;
    const auto file = settingsIn(root);
    ASSERT_EQ(setPrefsValue(file, "a", PlistValue(1)), "");
    const auto before = fileBytes(file);
    const auto pipe = root.path() / "pipe";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    for (const auto& source : {pipe, root.path(), root.path() / "missing"}) {
        const auto error = copyPrefsFile(source, file);  // a pipe must not hold the copy
        EXPECT_NE(error.find("cannot copy"), std::string::npos) << error;
        EXPECT_EQ(fileBytes(file), before);
    }
    root.write("/garbage", "not a property list at all");
    EXPECT_EQ(copyPrefsFile(root.path() / "garbage", file), "");
    EXPECT_EQ(fileBytes(file), "not a property list at all");
}

}  // namespace
