// What "dump settings" shows: the record the loaded tweak holds, which follows the settings file
// only when the change notification says so.

#include "tests/tweak/TweakSim.h"

#include <gtest/gtest.h>

namespace {

TEST(SettingsDump, ShowsTheTweaksOwnRecordWhichReloadsOnlyOnTheNotification) {
    TweakSim sim;
    const auto run = sim.run(
        "prefs set cvrUnlockType 3\nboot\ndump settings\n"
        "prefs set cvrUnlockType 5\ndump settings\n"
        "notify com.quillmoss.corvane.prefsUpdated\ndump settings\n");
    ASSERT_EQ(run.status, 0) << run.err;
    const auto dumps = run.all("dump");
    ASSERT_EQ(dumps.size(), 3u);
    EXPECT_EQ(dumps[0]["settings"]["unlockType"], 3);
    EXPECT_EQ(dumps[1]["settings"]["unlockType"], 3);  // the file changed, the tweak was not told
    EXPECT_EQ(dumps[2]["settings"]["unlockType"], 5);
    EXPECT_EQ(dumps[2]["settings"]["badgeDesign"], "Red");
}

TEST(SettingsDump, NeedsABootedDeviceWhoseTweakHoldsTheRecord) {
    TweakSim sim;
    const auto run = sim.run("dump settings\n");
    EXPECT_EQ(run.status, 2);
    ASSERT_FALSE(run.events.empty());
    EXPECT_EQ(run.events.back()["ev"], "error");
    EXPECT_EQ(run.events.back()["line"], 1);
}

}  // namespace
