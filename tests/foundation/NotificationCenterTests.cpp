#include "platform/foundation/NotificationCenter.h"

#include "platform/foundation/NotifyTransport.h"
#include "platform/foundation/RunLoop.h"
#include "tests/support/TemporaryRoot.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> delivered;

void recordName(CFNotificationCenterRef, void*, CFNotificationName name, const void* object,
                CFDictionaryRef userInfo) {
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(userInfo, nullptr);
    delivered.emplace_back(name);
}

class DarwinCenter : public ::testing::Test {
protected:
    void SetUp() override {
        delivered.clear();
        CFNotificationCenterAddObserver(center, this, recordName, "test.first", nullptr,
                                        CFNotificationSuspensionBehaviorHold);
    }
    void TearDown() override { CFNotificationCenterRemoveEveryObserver(center, this); }

    void post(const char* name) {
        CFNotificationCenterPostNotification(center, name, nullptr, nullptr, true);
    }

    TemporaryRoot root;
    CFNotificationCenterRef center = CFNotificationCenterGetDarwinNotifyCenter();
};

TEST_F(DarwinCenter, APostReachesItsObserversThroughTheRunLoop) {
    post("test.first");
    post("test.other");
    EXPECT_TRUE(delivered.empty());  // not from inside the post
    RunLoop::main().runPending();
    EXPECT_EQ(delivered, std::vector<std::string>{"test.first"});
}

TEST_F(DarwinCenter, ARemovedObserverHearsNothing) {
    CFNotificationCenterRemoveObserver(center, this, "test.first", nullptr);
    post("test.first");
    RunLoop::main().runPending();
    EXPECT_TRUE(delivered.empty());
}

TEST_F(DarwinCenter, APostFromAnotherProcessArrives) {
    const auto folder = root / "/var/run/notify";
    const pid_t child = ::fork();
    if (child == 0) {
        NotifyTransport(folder).post("test.first");
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    RunLoop::main().runPending();
    EXPECT_EQ(delivered, std::vector<std::string>{"test.first"});
}

TEST_F(DarwinCenter, TheTapSeesEveryDeliveredName) {
    std::vector<std::string> tapped;
    CFNotificationCenterSetDeliveryTap(center, [&](std::string_view name) { tapped.emplace_back(name); });
    post("test.other");
    RunLoop::main().runPending();
    CFNotificationCenterSetDeliveryTap(center, nullptr);
    EXPECT_EQ(tapped, std::vector<std::string>{"test.other"});
}

TEST(NotifyTransport, PipesOfEndedProcessesAreRemovedAndOtherFilesLeftAlone) {
    TemporaryRoot root;
    const auto folder = root.path() / "notify";
    std::filesystem::create_directories(folder);
    ASSERT_EQ(::mkfifo((folder / "999999999").c_str(), 0600), 0);
    std::ofstream(folder / "12345") << "not a pipe";
    NotifyTransport transport(folder);
    EXPECT_TRUE(transport.post("name"));
    EXPECT_FALSE(std::filesystem::exists(folder / "999999999"));
    EXPECT_EQ(fileBytes(folder / "12345"), "not a pipe");
}

TEST(NotifyTransport, NamesThatCannotBeOneLineAreNotSent) {
    TemporaryRoot root;
    NotifyTransport listener(root.path() / "n");
    ASSERT_GE(listener.listen(), 0);
    const pid_t child = ::fork();
    if (child == 0) {
        NotifyTransport sender(root.path() / "n");
        const bool refused = !sender.post("") && !sender.post("two\nlines") &&
                             !sender.post(std::string(NotifyTransport::kMaxNameLength + 1, 'x'));
        ::_exit(refused && sender.post("fine") ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(listener.receive(), std::vector<std::string>{"fine"});
}

}  // namespace
