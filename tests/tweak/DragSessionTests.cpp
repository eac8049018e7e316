// Dragging the lock screen away, as a user does it on the simulated device with the tweak
// loaded: directions, unlock and release animations, the passcode, and the session's views.

#include "tests/tweak/TweakSim.h"

#include "platform/graphics/CGImage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

using Json = nlohmann::json;

// The largest difference of one colour channel between two pictures of the same size.
int largestChannelDifference(const CGImageRef& a, const CGImageRef& b) {
    int largest = 0;
    for (size_t y = 0; y < CGImageGetHeight(a); ++y) {
        for (size_t x = 0; x < CGImageGetWidth(a); ++x) {
            const auto p = CGImageGetPixelForTesting(a, x, y), q = CGImageGetPixelForTesting(b, x, y);
            largest = std::max({largest, std::abs(p.r - q.r), std::abs(p.g - q.g), std::abs(p.b - q.b)});
        }
    }
    return largest;
}

struct DirectionCase {
    int direction;
    const char* moves;  // the moves of one finger from (160, 250)
    bool unlocks;
};

TEST(DragSession, EachDirectionUnlocksOnlyPastItsLimitOnItsAxis) {
    const DirectionCase cases[] = {
        {0, "move 341 250\n", true},           {0, "move 340 250\n", false},  // 180 is not past
        {0, "move 160 386\n", true},           {0, "move 160 385\n", false},  // down: 135
        {0, "move 160 69\n", true},            {1, "move 160 69\n", true},
        {1, "move 160 560\n", false},          {2, "move 160 386\n", true},
        {2, "move 160 0\n", false},            {3, "move 160 386\n", true},
        {3, "move 160 69\n", true},            {4, "move -21 250\n", true},
        {4, "move 470 250\n", false},          {4, "move 150 900\n", false},
        {5, "move 341 250\n", true},           {5, "move -200 250\n", false},
        {6, "move -21 250\n", true},           {6, "move 341 250\n", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.direction) + ": " + c.moves);
        TweakSim sim;
        const auto run = sim.run(prefs("cvrUnlockDirection", std::to_string(c.direction)) +
                                 kLockedOverMail + "down 160 250\n" + c.moves + "up\nwait 1000\n");
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(tweakUnlocks(run), c.unlocks ? 1 : 0);
        EXPECT_EQ(run.all("unlocked").size(), c.unlocks ? 2u : 1u);
    }
}

TEST(DragSession, TheUnlockRequestFollowsTheFinisherAndCarriesTheSoundSetting) {
    struct Case {
        int direction, animation;
        double requestAfterMs;
    };
    const Case cases[] = {{5, 0, 150}, {5, 1, 250}, {5, 2, 250}, {0, 1, 150}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.direction) + "/" + std::to_string(c.animation));
        TweakSim sim;
        const auto run = sim.run(prefs("cvrUnlockDirection", std::to_string(c.direction)) +
                                 prefs("cvrUnlockAnimation", std::to_string(c.animation)) +
                                 prefs("cvrUnlockSound", "YES") + kLockedOverMail +
                                 "wait 100\ndown 160 250\nmove 341 250\ndump session\nup\nwait 1000\n");
        ASSERT_EQ(run.status, 0) << run.err;
        const auto requests = run.all("unlock-request");
        ASSERT_EQ(requests.size(), 2u);  // the stock bar's, then the tweak's
        EXPECT_EQ(requests[1]["selector"], "unlockWithSound:");
        EXPECT_EQ(requests[1]["sound"], true);
        EXPECT_DOUBLE_EQ(requests[1]["t"].get<double>(), 500 + c.requestAfterMs);
        const auto view = run.lastDump("session")["session"]["view"];
        if (c.animation == 0 || c.direction == 0) {
            EXPECT_EQ(view["alpha"], 0.0);  // fading out
        } else {
            EXPECT_EQ(view["frame"][0], 320.0);  // sliding off to the right
        }
    }
}

TEST(DragSession, FadingWithDistanceFollowsTheLargerOffset) {
    TweakSim sim;
    const auto run = sim.run(prefs("cvrUnlockDirection", "0") + prefs("cvrUnlockAnimation", "2") +
                             kLockedOverMail +
                             "down 160 250\nmove 250 250\ndump session\nmove 160 160\ndump session\n");
    ASSERT_EQ(run.status, 0) << run.err;
    std::vector<double> alphas;
    for (const auto& e : run.all("dump")) alphas.push_back(e["session"]["view"]["alpha"]);
    ASSERT_EQ(alphas.size(), 2u);
    EXPECT_NEAR(alphas[0], 1 - 90.0 / 135, 1e-6);  // sideways: against 135
    EXPECT_NEAR(alphas[1], 1 - 90.0 / 180, 1e-6);  // upwards: against 180
}

TEST(DragSession, ReleaseAnimationsReturnTheImageOrLeaveIt) {
    struct Case {
        int direction, release;
        double x;  // where the image rests after the release
        bool hidden;
    };
    const Case cases[] = {{5, 0, 0, true}, {5, 1, 0, false}, {5, 2, 100, false}, {0, 1, 0, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.direction) + "/" + std::to_string(c.release));
        TweakSim sim;
        const auto run = sim.run(prefs("cvrUnlockDirection", std::to_string(c.direction)) +
                                 prefs("cvrReleaseAnimation", std::to_string(c.release)) +
                                 kLockedOverMail +
                                 "down 160 250\nmove 260 250\nup\nwait 2000\ndump session\n");
        ASSERT_EQ(run.status, 0) << run.err;
        const auto view = run.lastDump("session")["session"]["view"];
        EXPECT_EQ(view["frame"][0], c.x);
        EXPECT_EQ(view["hidden"], c.hidden);
        EXPECT_EQ(tweakUnlocks(run), 0);
    }
}

// Whether two pixels differ by no more than a drawing path's rounding.
bool alike(CGImagePixel p, CGImagePixel q) {
    return std::max({std::abs(p.r - q.r), std::abs(p.g - q.g), std::abs(p.b - q.b)}) <= 3;
}

// How far the snapshot lies right (positive) or left (negative) of its place in row `y` of
// `shot`: the columns at its left or right edge that show `beneath` instead of it.
int snapshotOffset(const CGImageRef& shot, size_t y, CGImagePixel beneath) {
    const int width = static_cast<int>(CGImageGetWidth(shot));
    int left = 0, right = 0;
    const auto shows = [&](int x) { return alike(CGImageGetPixelForTesting(shot, x, y), beneath); };
    while (left < width && shows(left)) ++left;
    while (right < width && shows(width - 1 - right)) ++right;
    return left > 0 ? left : -right;
}

TEST(DragSession, TheElasticReturnComesToRestOnAnyScreenSize) {
    // Dragged 100 points right on a 375 × 667 screen, let go, and watched every 100 ms.
    std::string script = "screen 375 667\n" + prefs("cvrUnlockDirection", "5") +
                         prefs("cvrReleaseAnimation", "1") +
                         "boot\nsnap before\ndown 180 300\nmove 280 300\nsnap dragged\nup\n";
    for (int ms = 100; ms <= 1000; ms += 100) {
        script += "wait 100\nsnap return" + std::to_string(ms) + "\n";
    }
    TweakSim sim;
    const auto run = sim.run(script + "wait 2000\nsnap after\n");
    ASSERT_EQ(run.status, 0) << run.err;
    const auto shot = [&](const std::string& name) {
        return CGImageCreateWithPNGFile(sim.root().path() / "shots" / (name + ".png"));
    };
    const auto before = shot("before"), dragged = shot("dragged"), after = shot("after");
    ASSERT_TRUE(before && dragged && after);
    // Row 300 of the dragged picture begins with what lies beneath the lock screen, which the
    // lock screen at rest covers.
    const size_t row = 300;
    const CGImagePixel beneath = CGImageGetPixelForTesting(dragged, 0, row);
    ASSERT_FALSE(alike(beneath, CGImageGetPixelForTesting(before, 0, row)))
        << "the dragged picture shows the lock screen where the finger uncovered what lies beneath";
    EXPECT_EQ(snapshotOffset(before, row, beneath), 0);
    EXPECT_NEAR(snapshotOffset(dragged, row, beneath), 100, 1);  // it followed the finger
    std::vector<int> offsets;
    for (int ms = 100; ms <= 1000; ms += 100) {
        const auto picture = shot("return" + std::to_string(ms));
        ASSERT_TRUE(picture);
        offsets.push_back(snapshotOffset(picture, row, beneath));
    }
    SCOPED_TRACE(::testing::PrintToString(offsets));
    // On its way back it passes between the finger's place and its own...
    EXPECT_TRUE(
        std::any_of(offsets.begin(), offsets.end(), [](int x) { return x > 10 && x < 90; }));
    // ...and springs: it falls towards its place, then rises away from it again before it rests.
    int lowest = offsets.front(), rise = 0;
    for (const int x : offsets) {
        lowest = std::min(lowest, x);
        rise = std::max(rise, x - lowest);
    }
    EXPECT_GE(rise, 5);
    // The snapshot at rest covers the lock screen exactly; the two drawing paths may round a
    // translucent pixel differently by a level or two, never more.
    EXPECT_EQ(snapshotOffset(after, row, beneath), 0);
    EXPECT_LE(largestChannelDifference(before, after), 3);
}

TEST(DragSession, APasscodeDeviceSendsTheImageBackThenAsksForThePasscode) {
    TweakSim sim;
    const auto run = sim.run("passcode on\nfront-app com.example.mail\nboot\nlock\nwake\n"
                             "wait 100\ndown 160 250\nmove 341 250\nmove 350 250\nup\nwait 600\n"
                             "dump session\npasscode enter\nwait 400\n");
    ASSERT_EQ(run.status, 0) << run.err;
    const auto requests = run.all("unlock-request");
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_DOUBLE_EQ(requests[0]["t"].get<double>(), 600);  // after the 0.5 s return
    EXPECT_EQ(run.all("passcode-shown").size(), 1u);
    const auto session = run.lastDump("session")["session"];
    EXPECT_EQ(session["view"]["frame"][0], 0.0);
    EXPECT_EQ(session["view"]["hidden"], true);
    EXPECT_EQ(session["isUnlocking"], false);
    const auto routines = run.all("unlock-routine");
    ASSERT_EQ(routines.size(), 1u);
    EXPECT_EQ(routines[0]["autoUnlock"], false);  // SpringBoard's own unlock after the passcode
    EXPECT_EQ(run.all("unlocked").size(), 1u);
}

TEST(DragSession, MovesAfterACrossingSendNoSecondRequest) {
    TweakSim sim;
    const auto run = sim.run(kLockedOverMail + "down 160 250\nmove 341 250\nmove 360 250\n"
                                               "wait 50\nmove 380 260\nmove 400 270\nup\nwait 1000\n");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.all("unlock-request").size(), 2u);  // the stock bar's and one of the tweak's
    EXPECT_EQ(tweakUnlocks(run), 1);
}

TEST(DragSession, AZeroDragDistanceGivesNoInfiniteOrMissingNumbers) {
    TweakSim sim;
    const auto run = sim.run(prefs("cvrDragDistance", "0") + prefs("cvrUnlockAnimation", "2") +
                             prefs("cvrUnlockDirection", "5") + kLockedOverMail +
                             "down 160 250\nmove 160 250\ndump session\nmove 161 250\n"
                             "dump session\nwait 1000\n");
    ASSERT_EQ(run.status, 0) << run.err;
    for (const auto& e : run.all("dump")) {
        const auto& view = e["session"]["view"];
        ASSERT_TRUE(view["alpha"].is_number());
        for (const auto& n : view["frame"]) EXPECT_TRUE(n.is_number());
    }
    EXPECT_EQ(tweakUnlocks(run), 1);
}

TEST(DragSession, TheStockLockScreenWorksUnchangedWhenDisabled) {
    TweakSim sim;
    const auto run = sim.run(prefs("cvrEnabled", "NO") + kLockedOverMail +
                             "down 160 250\nmove 341 250\nup\ndump session\ndump views\n"
                             "down 60 432\nmove 280 432\nup\nwait 400\n");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(run.lastDump("session")["session"]["view"].is_null());
    EXPECT_EQ(tweakUnlocks(run), 0);
    EXPECT_EQ(run.all("unlocked").size(), 2u);  // both by the stock unlock bar
}

TEST(DragSession, ManyTouchSequencesLeaveTheWindowAsTheFirstDid) {
    std::string touches;
    for (int i = 0; i < 300; ++i) touches += "down 160 250\nmove 170 250\nup\nwait 600\n";
    TweakSim sim;
    const auto first = sim.run(kLockedOverMail + "down 160 250\nmove 170 250\nup\nwait 600\n"
                                                 "dump views\n");
    const auto many = sim.run(kLockedOverMail + touches + "dump views\n");
    ASSERT_EQ(many.status, 0) << many.err;
    EXPECT_EQ(many.viewCount(), first.viewCount());
}

}  // namespace
