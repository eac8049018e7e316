// The six gestures besides the drag, as a user makes them on the simulated device with the tweak
// loaded: one that falls short, one that crosses without a passcode, one with a passcode, and
// each on a larger screen. Every gesture asks for its unlock once, however the fingers go on.

#include "tests/tweak/TweakSim.h"

#include "platform/graphics/CGImage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <sstream>

namespace {

// A screen size, in points.
struct Screen {
    float w, h;
};
constexpr Screen kPhone{320, 480}, kTallPhone{375, 667};

std::string line(const char* verb, std::initializer_list<double> numbers) {
    std::ostringstream text;
    text << verb;
    for (double n : numbers) text << ' ' << n;
    text << '\n';
    return text.str();
}

// Two fingers 200 points apart about the screen's centre, turned by `angle` radians.
std::string pairAt(const char* verb, Screen s, double angle, double spread = 100) {
    const double cx = s.w / 2, cy = s.h / 2, dx = spread * std::cos(angle),
                 dy = spread * std::sin(angle);
    return line(verb, {std::round(cx - dx), std::round(cy - dy), std::round(cx + dx),
                       std::round(cy + dy)});
}

std::string turnThrough(Screen s, std::initializer_list<double> angles) {
    std::string script = pairAt("down", s, 0);
    for (double a : angles) script += pairAt("move", s, a);
    return script + "up\n";
}

std::string pinchThrough(Screen s, std::initializer_list<double> spreads) {
    std::string script = pairAt("down", s, 0);
    for (double spread : spreads) script += pairAt("move", s, 0, spread);
    return script + "up\n";
}

// One finger from (x, y) through the x positions given, at height y.
std::string slideThrough(double x, double y, std::initializer_list<double> xs) {
    std::string script = line("down", {x, y});
    for (double to : xs) script += line("move", {to, y - (to - x) / 30});
    return script + "up\n";
}

struct Gesture {
    const char* name;
    int type;
    // The touches of a gesture that falls short, and of one that crosses and goes on beyond.
    std::function<std::string(Screen)> shortOf, crossing;
};

const Gesture kGestures[] = {
    {"overlay", 1,
     [](Screen s) { return slideThrough(s.w / 2, s.h / 2, {s.w / 2 + 60}); },
     [](Screen s) {
         return slideThrough(30, s.h / 2, {90, 150, 230, 250, 270});  // 200 is past 180
     }},
    {"peel", 3,
     [](Screen s) { return slideThrough(s.w - 20, s.h / 2, {s.w - 60}); },
     [](Screen s) {
         // 130 points reach the turn distance; the next move finishes, the ones after it would
         // again (with a passcode the page curls back and curls afresh).
         return slideThrough(s.w - 20, s.h / 2,
                             {s.w - 80, s.w - 150, s.w - 160, s.w - 170, s.w - 180, s.w - 190});
     }},
    {"badge", 4,
     [](Screen s) { return slideThrough(s.w - 25, s.h / 2, {s.w - 45}); },
     [](Screen s) {
         return slideThrough(s.w - 25, s.h / 2,
                             {s.w - 45, s.w - 65, s.w - 85, s.w - 150, s.w - 200, s.w - 260,
                              s.w - 270, s.w - 280});
     }},
    {"pinch", 2,
     [](Screen s) { return pinchThrough(s, {95, 90}); },
     [](Screen s) { return pinchThrough(s, {95, 60, 45, 40, 35}); }},
    {"rotate", 5,
     [](Screen s) { return turnThrough(s, {0.1, 0.4}); },
     [](Screen s) { return turnThrough(s, {0.1, 0.5, 1.0, 1.4, 1.6, 1.7, 1.8}); }},
    {"vault", 6,
     [](Screen s) { return turnThrough(s, {0.1, 0.4}); },
     [](Screen s) { return turnThrough(s, {0.1, 0.5, 1.0, 1.4, 1.6, 1.7, 1.8}); }},
};

std::string unlockType(const Gesture& g) { return prefs("cvrUnlockType", std::to_string(g.type)); }

// The unlock requests after the stock bar's at the start of kLockedOverMail.
std::vector<nlohmann::json> tweakRequests(const TweakRun& run) {
    auto requests = run.all("unlock-request");
    if (!requests.empty()) requests.erase(requests.begin());
    return requests;
}

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

// How many pixels of two pictures of the same size differ clearly (by more than a tenth of the
// range in some channel), not by a drawing path's rounding.
int clearlyChangedPixels(const CGImageRef& a, const CGImageRef& b) {
    int changed = 0;
    for (size_t y = 0; y < CGImageGetHeight(a); ++y) {
        for (size_t x = 0; x < CGImageGetWidth(a); ++x) {
            const auto p = CGImageGetPixelForTesting(a, x, y),
                       q = CGImageGetPixelForTesting(b, x, y);
            changed +=
                std::max({std::abs(p.r - q.r), std::abs(p.g - q.g), std::abs(p.b - q.b)}) > 24;
        }
    }
    return changed;
}

// `touches` up to the lifting of the fingers, which ends them.
std::string withoutLift(const std::string& touches) {
    return touches.substr(0, touches.rfind("up\n"));
}

TEST(GestureSession, FallingShortAsksForNothingAndShowsTheLockScreenAgain) {
    // Pictures while the fingers hold, during the return (the badge waits half a second before
    // it slides back in) and at rest.
    const int returning[] = {200, 400, 600};
    for (const Gesture& g : kGestures) {
        SCOPED_TRACE(g.name);
        TweakSim sim;
        ASSERT_TRUE(sim.installArtwork());  // the badge and the vault dial show their pictures
        std::string script = unlockType(g) + kLockedOverMail + "snap before\n" +
                             withoutLift(g.shortOf(kPhone)) + "snap held\nup\n";
        for (int at = 0; const int ms : returning) {
            script +=
                "wait " + std::to_string(ms - at) + "\nsnap returning" + std::to_string(ms) + "\n";
            at = ms;
        }
        const auto run = sim.run(script + "wait 900\nsnap after\ndump session\n");
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_TRUE(tweakRequests(run).empty());
        EXPECT_EQ(run.lastDump("session")["session"]["isUnlocking"], false);
        const auto shot = [&](const std::string& name) {
            return CGImageCreateWithPNGFile(sim.root().path() / "shots" / (name + ".png"));
        };
        const auto before = shot("before"), held = shot("held"), after = shot("after");
        ASSERT_TRUE(before && held && after);
        // The fingers moved what the gesture works on, and the screen drew it.
        EXPECT_GT(clearlyChangedPixels(before, held), 1000);
        // It goes back through pictures between the two, not in one jump.
        int between = 0;
        for (const int ms : returning) {
            const auto picture = shot("returning" + std::to_string(ms));
            ASSERT_TRUE(picture);
            between += clearlyChangedPixels(picture, before) > 100 &&
                       clearlyChangedPixels(picture, held) > 100;
        }
        EXPECT_GT(between, 0) << "no picture between the held one and the lock screen at rest";
        // And at rest the lock screen shows as it did.
        EXPECT_LE(largestChannelDifference(before, after), 3);
    }
}

TEST(GestureSession, CrossingWithoutAPasscodeAsksOnceAndUnlocks) {
    for (const Gesture& g : kGestures) {
        SCOPED_TRACE(g.name);
        TweakSim sim;
        const auto run = sim.run(unlockType(g) + kLockedOverMail + g.crossing(kPhone) +
                                 "wait 1500\n");
        EXPECT_EQ(run.status, 0) << run.err;
        const auto requests = tweakRequests(run);
        EXPECT_EQ(requests.size(), 1u);
        if (requests.empty()) continue;
        EXPECT_EQ(run.all("unlocked").size(), 2u);  // the stock bar's, then the gesture's
        if (g.type == 1) {
            // The overlay asks with the versioned request, as an unlock of the user's own.
            EXPECT_EQ(requests[0]["selector"], "unlockWithSound:isAutoUnlock:");
            EXPECT_EQ(tweakUnlocks(run), 0);
        } else {
            EXPECT_EQ(requests[0]["selector"], "unlockWithSound:");
            EXPECT_EQ(tweakUnlocks(run), 1);
        }
    }
}

TEST(GestureSession, CrossingWithAPasscodeAsksOnceForThePasscodeEntry) {
    for (const Gesture& g : kGestures) {
        SCOPED_TRACE(g.name);
        TweakSim sim;
        const auto run = sim.run(unlockType(g) +
                                 "passcode on\nfront-app com.example.mail\nboot\nlock\nwake\n" +
                                 g.crossing(kPhone) + "wait 1500\ndump session\n"
                                 "passcode enter\nwait 500\n");
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.all("unlock-request").size(), 1u);
        EXPECT_EQ(run.all("passcode-shown").size(), 1u);
        EXPECT_EQ(run.all("unlocked").size(), 1u);  // once the passcode was entered
        const auto routines = run.all("unlock-routine");
        EXPECT_EQ(routines.size(), 1u);
        if (!routines.empty()) {
            EXPECT_EQ(routines[0]["autoUnlock"], false);
        }
    }
}

TEST(GestureSession, EachGestureUnlocksOnATallerScreen) {
    for (const Gesture& g : kGestures) {
        SCOPED_TRACE(g.name);
        TweakSim sim;
        const auto run = sim.run("screen 375 667 2\n" + unlockType(g) +
                                 "front-app com.example.mail\nboot\nlock\nwake\n" +
                                 g.crossing(kTallPhone) + "wait 1500\n");
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.all("unlock-request").size(), 1u);
        EXPECT_EQ(run.all("unlocked").size(), 1u);
    }
}

TEST(PeelSession, FinishesOnTheMoveAfterTheAmountReachesTheTurnDistance) {
    TweakSim sim;
    const auto run = sim.run(prefs("cvrUnlockType", "3") + kLockedOverMail +
                             "down 300 250\nmove 180 250\nwait 500\ndump session\n"
                             "move 175 250\nwait 400\n");
    ASSERT_EQ(run.status, 0) << run.err;
    const auto curl = run.lastDump("session")["session"]["curlFilter"];
    EXPECT_FLOAT_EQ(curl["inputTime"].get<float>(), 0.6f);  // 120 points: no unlock yet
    const auto requests = tweakRequests(run);
    ASSERT_EQ(requests.size(), 1u);
    const double dumpedAt = run.lastDump("session")["t"];
    EXPECT_DOUBLE_EQ(requests[0]["t"].get<double>(), dumpedAt + 250);  // the curl-away's end
}

TEST(PeelSession, TheTurnDirectionDecidesWhatCurlsAndWhatFinishes) {
    const struct {
        int direction;
        const char* moves;  // from (200, 250)
        double angleSign;   // of the curl shown after the first move: 0 for none
        bool unlocks;
    } cases[] = {
        {0, "move 100 300\nmove 60 300\nmove 50 300\n", 1, true},      // down and left
        {0, "move 100 200\nmove 60 200\nmove 50 200\n", -1, true},     // up and left
        {0, "move 100 250\nmove 60 250\nmove 50 250\n", 0, true},      // straight left: 180°
        {0, "move 300 250\nmove 340 250\nmove 350 250\n", 0, false},   // rightward
        {1, "move 100 250\nmove 60 250\nmove 210 250\n", 0, true},     // grows, then right
        {1, "move 300 260\nmove 340 260\nmove 350 260\n", 1, true},
        {2, "move 200 350\nmove 200 390\nmove 200 400\n", 1, true},    // any way, even down
        {3, "move 100 300\nmove 60 300\nmove 50 300\n", 0, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.direction) + ": " + c.moves);
        TweakSim sim;
        const std::string moves = c.moves;
        const std::string first = moves.substr(0, moves.find('\n') + 1);
        const auto run = sim.run(prefs("cvrUnlockType", "3") +
                                 prefs("pageTurnDirection", std::to_string(c.direction)) +
                                 kLockedOverMail + "down 200 250\n" + first + "dump session\n" +
                                 moves.substr(first.size()) + "wait 400\n");
        EXPECT_EQ(run.status, 0) << run.err;
        const float angle = run.lastDump("session")["session"]["curlFilter"]["inputAngle"];
        if (c.angleSign == 0) {
            EXPECT_EQ(angle, 0.0f);
        } else {
            EXPECT_GT(angle * c.angleSign, 0.0f);
        }
        EXPECT_EQ(tweakRequests(run).size(), c.unlocks ? 1u : 0u);
    }
}

TEST(BadgeSession, TheBadgeComesOutFirstThenTheImageFollowsToFixedLimits) {
    TweakSim sim;
    // Pulled to the right from the left edge; the drag distance plays no part.
    const auto run = sim.run(prefs("cvrUnlockType", "4") + prefs("cvrPullDirection", "1") +
                             prefs("cvrDragDistance", "3") + kLockedOverMail +
                             "down 20 240\nmove 50 240\ndump session\nmove 80 240\n"
                             "dump session\nmove 150 240\ndump session\nmove 230 240\nmove 260 240\n"
                             "wait 400\n");
    ASSERT_EQ(run.status, 0) << run.err;
    const auto dumps = run.all("dump");
    ASSERT_EQ(dumps.size(), 3u);
    EXPECT_EQ(dumps[0]["session"]["badgeView"]["frame"][0], -20.0);  // coming out
    EXPECT_EQ(dumps[0]["session"]["view"]["frame"][0], 0.0);
    EXPECT_EQ(dumps[1]["session"]["badgeView"]["frame"][0], -12.0);  // pulled: 88 points show
    EXPECT_GT(dumps[2]["session"]["view"]["frame"][0].get<double>(), 0.0);  // the image follows
    EXPECT_EQ(tweakUnlocks(run), 1);
}

}  // namespace
