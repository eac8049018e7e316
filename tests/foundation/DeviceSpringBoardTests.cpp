// Which process is a device's SpringBoard: the one holding the device's lock, as the process
// itself answers, never what a file says. The restart ends that process and no other: pid files
// that are stale, copied from another device, name an unrelated process, hold garbage, or are a
// link or a pipe end nothing, hang nothing and leave one log line.

#include "platform/foundation/DeviceSpringBoard.h"

#include "platform/foundation/DeviceRoot.h"
#include "platform/foundation/NSLog.h"
#include "platform/foundation/SystemCommand.h"
#include "tests/support/TemporaryRoot.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

namespace {

// A process that runs until it is ended or let go; with `claim`, as the SpringBoard of `root`.
class OtherProcess {
public:
    explicit OtherProcess(const std::filesystem::path* claimedRoot = nullptr) {
        int ready[2], hold[2];
        if (::pipe(ready) != 0 || ::pipe(hold) != 0) return;
        pid_ = ::fork();
        if (pid_ == 0) {
            ::close(ready[0]);
            ::close(hold[1]);
            if (claimedRoot) {
                DeviceRoot::set(*claimedRoot);
                if (DeviceSpringBoard::claim()) ::_exit(3);
            }
            char c = 1;
            [[maybe_unused]] auto w = ::write(ready[1], &c, 1);
            [[maybe_unused]] auto r = ::read(hold[0], &c, 1);  // until let go
            ::_exit(0);
        }
        ::close(ready[1]);
        ::close(hold[0]);
        char c = 0;
        [[maybe_unused]] auto r = ::read(ready[0], &c, 1);
        ::close(ready[0]);
        hold_ = hold[1];
    }
    ~OtherProcess() {
        if (hold_ >= 0) ::close(hold_);
        if (pid_ > 0 && !ended_) ::waitpid(pid_, nullptr, 0);
    }
    pid_t pid() const { return pid_; }
    // Whether it was ended by SIGTERM (let go first when it is still running).
    bool wasTerminated() {
        ::close(hold_);
        hold_ = -1;
        int status = 0;
        ::waitpid(pid_, &status, 0);
        ended_ = true;
        return WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM;
    }

private:
    pid_t pid_ = -1;
    int hold_ = -1;
    bool ended_ = false;
};

// The restart, with the log lines it wrote.
struct Restart {
    int status;
    std::vector<std::string> lines;
};
Restart restart() {
    Restart result{};
    const int sink = addLogSink([&](std::string_view line) { result.lines.emplace_back(line); });
    result.status = systemCommand("killall SpringBoard");
    removeLogSink(sink);
    return result;
}

TEST(DeviceSpringBoard, TheRestartEndsTheProcessHoldingTheDevicesLock) {
    TemporaryRoot root;
    OtherProcess springBoard(&root.path());
    ASSERT_EQ(std::get<pid_t>(DeviceSpringBoard::running()), springBoard.pid());
    EXPECT_EQ(fileBytes(root / std::string(kSpringBoardPidFile)),
              std::to_string(springBoard.pid()) + "\n");
    EXPECT_EQ(restart().status, 0);
    EXPECT_TRUE(springBoard.wasTerminated());
}

TEST(DeviceSpringBoard, PidFilesNobodyCanTrustEndNothingHangNothingAndSaySo) {
    struct Planted {
        const char* what;
        void (*plant)(const std::filesystem::path& pidFile, pid_t unrelated, pid_t otherDevices,
                      const std::filesystem::path& otherRoot);
    };
    const Planted cases[] = {
        {"stale: its SpringBoard has ended",
         [](const auto& file, pid_t, pid_t, const auto&) { std::ofstream(file) << "999999\n"; }},
        {"naming an unrelated process",
         [](const auto& file, pid_t unrelated, pid_t, const auto&) {
             std::ofstream(file) << unrelated << "\n";
         }},
        {"copied from another device with its lock file",
         [](const auto& file, pid_t, pid_t other, const auto& otherRoot) {
             std::ofstream(file) << other << "\n";
             std::filesystem::copy_file(otherRoot / "var/run/springboard.lock",
                                        file.parent_path() / "springboard.lock");
         }},
        {"with a second name of another device's lock file",
         [](const auto& file, pid_t, pid_t other, const auto& otherRoot) {
             std::ofstream(file) << other << "\n";
             std::filesystem::create_hard_link(otherRoot / "var/run/springboard.lock",
                                               file.parent_path() / "springboard.lock");
         }},
        {"garbage",
         [](const auto& file, pid_t, pid_t, const auto&) { std::ofstream(file) << "\x01zz\n"; }},
        {"a link to another device's pid file",
         [](const auto& file, pid_t, pid_t, const auto& otherRoot) {
             std::filesystem::create_symlink(otherRoot / "var/run/springboard.pid", file);
         }},
        {"a pipe",
         [](const auto& file, pid_t, pid_t, const auto&) { ::mkfifo(file.c_str(), 0600); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TemporaryRoot otherRoot;
        OtherProcess otherDevices(&otherRoot.path());
        OtherProcess unrelated;
        TemporaryRoot root;  // the device whose panel restarts
        const auto pidFile = root / std::string(kSpringBoardPidFile);
        std::filesystem::create_directories(pidFile.parent_path());
        c.plant(pidFile, unrelated.pid(), otherDevices.pid(), otherRoot.path());

        const Restart result = restart();
        EXPECT_EQ(result.status, 1);
        EXPECT_EQ(result.lines.size(), 1u);
        EXPECT_FALSE(unrelated.wasTerminated());
        EXPECT_FALSE(otherDevices.wasTerminated());
    }
}

TEST(DeviceSpringBoard, AClaimReplacesLinksPlantedInItsPlaceAndWritesNothingThrough) {
    TemporaryRoot elsewhere;
    TemporaryRoot root;
    const auto run = root / "/var/run";
    std::filesystem::create_directories(run);
    std::ofstream(elsewhere.path() / "precious") << "kept";
    std::filesystem::create_symlink(elsewhere.path() / "precious", run / "springboard.pid");
    std::filesystem::create_symlink(elsewhere.path() / "precious", run / "springboard.lock");
    {
        OtherProcess springBoard(&root.path());
        EXPECT_EQ(std::get<pid_t>(DeviceSpringBoard::running()), springBoard.pid());
        EXPECT_FALSE(std::filesystem::is_symlink(run / "springboard.pid"));
        EXPECT_FALSE(std::filesystem::is_symlink(run / "springboard.lock"));
    }
    EXPECT_EQ(fileBytes(elsewhere.path() / "precious"), "kept");
}

TEST(DeviceSpringBoard, ASecondSpringBoardOnOneDeviceSaysWhichOneTheRestartWouldEnd) {
    TemporaryRoot root;
    OtherProcess first(&root.path());
    const auto problem = DeviceSpringBoard::claim();
    ASSERT_TRUE(problem);
    EXPECT_NE(problem->find(std::to_string(first.pid())), std::string::npos) << *problem;
    EXPECT_EQ(std::get<pid_t>(DeviceSpringBoard::running()), first.pid());
}

}  // namespace
