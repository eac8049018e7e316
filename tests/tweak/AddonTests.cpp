// What each unlock type builds in the lock-screen window when the lock screen shows.

#include "tests/tweak/TweakSim.h"

#include <gtest/gtest.h>

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

TEST(Addons, TheCustomBadgeIsTintedWithTheBadgeColour) {
    TweakSim plain, tinted;
    const std::string setup = "prefs set cvrUnlockType 4\nprefs set cvrBadgeDesign 3\n";
    const auto plainRun = plain.run(setup + "boot\nsnap badge\n");
    ASSERT_EQ(plainRun.status, 0) << plainRun.err;
    const auto tintedRun = tinted.run(setup + "prefs set cvrColor \"{1, 0, 0, 1}\"\nboot\nsnap badge\n");
    ASSERT_EQ(tintedRun.status, 0) << tintedRun.err;
    // Without artwork installed the badge is an empty view; the pictures then agree, which is
    // also what a missing image file must give: no crash, an empty but touchable badge.
    EXPECT_EQ(fileBytes(plain.root().path() / "shots/badge.png"),
              fileBytes(tinted.root().path() / "shots/badge.png"));
}

}  // namespace
