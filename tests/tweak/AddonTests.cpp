// What each unlock type builds in the lock-screen window when the lock screen shows.

#include "tests/tweak/TweakSim.h"

#include "platform/graphics/CGImage.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>

namespace {

using Json = nlohmann::json;

// The views of the dump that play a role, by role.
std::map<std::string, Json> viewsByRole(const TweakRun& run) {
    std::map<std::string, Json> roles;
    const auto visit = [&](const auto& self, const Json& view) -> void {
        if (view.contains("role")) roles[view["role"].get<std::string>()] = view;
        for (const auto& subview : view["subviews"]) self(self, subview);
    };
    const Json dump = run.lastDump("views");
    for (const auto& window : dump["windows"]) visit(visit, window);
    return roles;
}

Json frame(float x, float y, float w, float h) { return Json::array({x, y, w, h}); }

TEST(Addons, EachUnlockTypeBuildsItsOwnAddonAndTouchView) {
    struct Case {
        int type;
        const char* addon;  // the role of the add-on, or ""
        Json addonFrame;
        Json touchFrame;
        const char* recognizer;  // the session's recogniser, or ""
    };
    const Json screen = frame(0, 0, 320, 480);
    const Case cases[] = {
        {0, "", nullptr, screen, ""},
        {1, "overlay", screen, screen, ""},
        {2, "", nullptr, screen, "pinchRecognizer"},
        {3, "", nullptr, screen, ""},
        {4, "badge", frame(270, 200, 100, 80), frame(270, 200, 100, 80), ""},
        {5, "", nullptr, screen, "rotateRecognizer"},
        {6, "vault", frame(24, 75, 272, 310), screen, "rotateVaultRecognizer"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.type);
        TweakSim sim;
        const auto run = sim.run("prefs set cvrUnlockType " + std::to_string(c.type) +
                                 "\nboot\ndump views\ndump session\n");
        ASSERT_EQ(run.status, 0) << run.err;
        const auto roles = viewsByRole(run);
        ASSERT_TRUE(roles.contains("touchView"));
        EXPECT_EQ(roles.at("touchView")["frame"], c.touchFrame);
        if (*c.addon) {
            ASSERT_TRUE(roles.contains(c.addon));
            EXPECT_EQ(roles.at(c.addon)["frame"], c.addonFrame);
            EXPECT_EQ(roles.at(c.addon)["interaction"], std::string(c.addon) != "overlay");
        }
        const auto session = run.lastDump("session")["session"];
        for (const char* recognizer : {"pinchRecognizer", "rotateRecognizer", "rotateVaultRecognizer"}) {
            EXPECT_EQ(session[recognizer], std::string(recognizer) == c.recognizer) << recognizer;
        }
    }
}

TEST(Addons, ADisplayAfterACancelledPasscodeReplacesTheViewsOfTheFirst) {
    TweakSim sim;
    const auto once = sim.run("prefs set cvrUnlockType 1\npasscode on\nboot\ndump views\n");
    const auto again = sim.run("prefs set cvrUnlockType 1\npasscode on\nboot\n"
                               "down 60 432\nmove 280 432\nup\npasscode cancel\n"
                               "down 60 432\nmove 280 432\nup\npasscode cancel\ndump views\n");
    ASSERT_EQ(again.status, 0) << again.err;
    EXPECT_EQ(again.viewCount(), once.viewCount());
}

// The screen as the custom badge in `colour` shows on it, pulled from the right edge (the
// default), with the build's artwork installed when `artwork`. Without artwork the badge is an
// empty view: the device must still boot and draw.
CGImageRef customBadgeShot(const std::string& colour, bool artwork) {
    TweakSim sim;
    if (artwork && !sim.installArtwork()) return nullptr;
    const std::string badge = "prefs set cvrUnlockType 4\nprefs set cvrBadgeDesign 3\n";
    const auto run = sim.run(badge + "prefs set cvrColor \"" + colour + "\"\nboot\nsnap badge\n");
    EXPECT_EQ(run.status, 0) << run.err;
    return CGImageCreateWithPNGFile(sim.root().path() / "shots/badge.png");
}

TEST(Addons, TheCustomBadgeIsTintedWithTheBadgeColour) {
    // White multiplies the artwork into itself; red keeps its red channel and takes its green
    // and blue away. The badge rests half off the right edge: its frame is (270, 200, 100, 80).
    const auto bare = customBadgeShot("{1, 1, 1, 1}", false);
    const auto white = customBadgeShot("{1, 1, 1, 1}", true);
    const auto red = customBadgeShot("{1, 0, 0, 1}", true);
    ASSERT_TRUE(bare && white && red) << "a snap is missing, or the build has no badge artwork";
    ASSERT_EQ(CGImageGetWidth(white), 320u);
    ASSERT_EQ(CGImageGetHeight(white), 480u);
    ASSERT_EQ(CGImageGetWidth(red), 320u);
    ASSERT_EQ(CGImageGetHeight(red), 480u);
    const auto inBadge = [](size_t x, size_t y) { return x >= 270 && y >= 200 && y < 280; };
    int badgePixels = 0, drawn = 0, tinted = 0, outsideChanged = 0, redChanged = 0, brighter = 0;
    for (size_t y = 0; y < 480; ++y) {
        for (size_t x = 0; x < 320; ++x) {
            const auto b = CGImageGetPixelForTesting(bare, x, y);
            const auto w = CGImageGetPixelForTesting(white, x, y);
            const auto r = CGImageGetPixelForTesting(red, x, y);
            if (!inBadge(x, y)) {
                outsideChanged += !(w == r);
                continue;
            }
            ++badgePixels;
            drawn += std::abs(w.r - b.r) + std::abs(w.g - b.g) + std::abs(w.b - b.b) > 24;
            redChanged += std::abs(w.r - r.r) > 2;
            brighter += r.g > w.g + 2 || r.b > w.b + 2;
            tinted += (w.g - r.g) + (w.b - r.b) > 48;
        }
    }
    // The artwork is drawn: the badge differs from the empty one of a device without artwork.
    EXPECT_GT(drawn, badgePixels / 4) << "of " << badgePixels;
    // Tinting touches nothing but the badge, keeps red, never adds green or blue, and takes
    // much of them away where the badge shows.
    EXPECT_EQ(outsideChanged, 0);
    EXPECT_EQ(redChanged, 0);
    EXPECT_EQ(brighter, 0);
    EXPECT_GT(tinted, drawn / 2) << "of " << drawn << " pixels drawn";
}

}  // namespace
