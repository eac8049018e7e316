// The lock screen's clock, the status bar and the stock unlock bar as the settings arrange them.

#include "tests/tweak/TweakSim.h"

#include "platform/graphics/CGImage.h"

#include <gtest/gtest.h>

namespace {

using Flags = std::vector<std::pair<bool, bool>>;

Flags statusBarFlags(const TweakRun& run) {
    Flags flags;
    for (const auto& e : run.all("status-bar")) flags.emplace_back(e["lock"], e["time"]);
    return flags;
}

std::string settings(bool hideClock, bool statusBarClock) {
    return std::string("prefs set cvrHideLockClock ") + (hideClock ? "YES" : "NO") +
           "\nprefs set cvrShowStatusBarClock " + (statusBarClock ? "YES" : "NO") + "\n";
}

// The picture's pixel at the clock's digits.
CGImagePixel clockPixel(const TweakSim& sim, const std::string& shot) {
    return CGImageGetPixelForTesting(
        CGImageCreateWithPNGFile(sim.root().path() / "shots" / (shot + ".png")), 160, 60);
}

TEST(Chrome, ClockAndStatusBarFollowTheTwoSettings) {
    struct Case {
        bool hideClock, statusBarClock;
        Flags atBoot;     // SpringBoard's status bar while the lock screen shows
        bool clockShown;  // the clock's digits are drawn
    };
    const Case cases[] = {
        {false, false, {{true, false}}, true},
        {false, true, {{true, false}, {true, false}}, true},
        {true, false, {{true, false}}, false},
        {true, true, {{false, true}, {false, true}}, false},
    };
    TweakSim plain;
    ASSERT_EQ(plain.run("boot\nsnap lit\n").status, 0);
    const auto digits = clockPixel(plain, "lit");
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.hideClock) + std::to_string(c.statusBarClock));
        TweakSim sim;
        const auto run = sim.run(settings(c.hideClock, c.statusBarClock) + "boot\nsnap lit\n");
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(statusBarFlags(run), c.atBoot);
        EXPECT_EQ(clockPixel(sim, "lit") == digits, c.clockShown);
        const auto items = run.all("status-bar-item");
        ASSERT_FALSE(items.empty());
        EXPECT_EQ(items.back()["visible"], c.statusBarClock);
    }
}

TEST(Chrome, AHiddenClockComesBackWithMediaControls) {
    TweakSim sim;
    const auto run = sim.run(settings(true, true) + "boot\nmedia on\nsnap media\nmedia off\n");
    ASSERT_EQ(run.status, 0) << run.err;
    // With media controls the clock shows, so the padlock returns and the time leaves the bar.
    EXPECT_EQ(statusBarFlags(run),
              (Flags{{false, true}, {false, true}, {true, false}, {true, false}, {false, true},
                     {false, true}}));
}

TEST(Chrome, TheClockRulesHoldEvenWhenTheTweakIsDisabled) {
    TweakSim sim;
    const auto run = sim.run("prefs set cvrEnabled NO\n" + settings(true, true) + "boot\n");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(statusBarFlags(run), (Flags{{false, true}, {false, true}}));
    EXPECT_EQ(run.all("status-bar-item").back()["visible"], true);
}

TEST(Chrome, AHiddenUnlockBarLiesBehindTheLockScreenAndTakesNoTouches) {
    TweakSim sim;
    const auto run = sim.run("prefs set cvrHideUnlockSlider YES\nprefs set cvrUnlockDirection 5\n"
                             "boot\nsnap hidden\ndown 60 432\nmove 120 432\nup\nwait 1000\n");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(run.all("unlock-request").empty());  // the knob did not slide
    TweakSim plain;
    ASSERT_EQ(plain.run("boot\nsnap shown\n").status, 0);
    const auto knob = [](const TweakSim& s, const char* shot) {
        return CGImageGetPixelForTesting(
            CGImageCreateWithPNGFile(s.root().path() / "shots" / (std::string(shot) + ".png")), 40,
            432);
    };
    EXPECT_NE(knob(sim, "hidden"), knob(plain, "shown"));
}

}  // namespace
