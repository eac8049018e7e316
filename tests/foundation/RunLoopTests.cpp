#include "platform/foundation/RunLoop.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using std::chrono::milliseconds;

TEST(RunLoop, ItemsRunInTimeOrderAndTiesInSchedulingOrder) {
    RunLoop loop;
    std::string order;
    loop.schedule(milliseconds(20), [&] { order += "c"; });
    loop.schedule(milliseconds(10), [&] { order += "a"; });
    loop.schedule(milliseconds(10), [&] { order += "b"; });
    loop.schedule(milliseconds(30), [&] { order += "d"; });
    loop.runUntil(milliseconds(25));
    EXPECT_EQ(order, "abc");
    EXPECT_EQ(loop.now(), milliseconds(25));
    loop.runUntil(milliseconds(30));
    EXPECT_EQ(order, "abcd");
}

TEST(RunLoop, TheVirtualClockReadsEachItemsOwnTimeWhileItRuns) {
    RunLoop loop;
    std::vector<ClockTime> seen;
    loop.schedule(milliseconds(5), [&] {
        seen.push_back(loop.now());
        // Scheduled from inside a callback, and still due within this run.
        loop.scheduleAfter(milliseconds(3), [&] { seen.push_back(loop.now()); });
    });
    loop.runUntil(milliseconds(100));
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0], milliseconds(5));
    EXPECT_EQ(seen[1], milliseconds(8));
}

TEST(RunLoop, CancelledItemsNeverRun) {
    RunLoop loop;
    int runs = 0;
    const auto id = loop.scheduleAfter(milliseconds(1), [&] { ++runs; });
    EXPECT_TRUE(loop.isScheduled(id));
    loop.cancel(id);
    loop.cancel(id);  // twice is harmless
    loop.runUntil(milliseconds(10));
    EXPECT_EQ(runs, 0);
    EXPECT_FALSE(loop.isScheduled(id));
    EXPECT_EQ(loop.pendingCount(), 0u);
}

TEST(RunLoop, PerformRunsAtTheNextTurnNotAtOnce) {
    RunLoop loop;
    bool ran = false;
    loop.perform([&] { ran = true; });
    EXPECT_FALSE(ran);
    loop.runPending();
    EXPECT_TRUE(ran);
}

TEST(RunLoop, SecondsConvertToClockTimeExactly) {
    EXPECT_EQ(clockTimeFromSeconds(0.15), milliseconds(150));
    EXPECT_EQ(clockTimeFromSeconds(0.25), milliseconds(250));
    EXPECT_DOUBLE_EQ(secondsFromClockTime(milliseconds(1500)), 1.5);
}

}  // namespace
