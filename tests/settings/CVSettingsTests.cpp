#include "tweak/settings/CVSettings.h"

#include "colour/UIColor_Expanded.h"
#include "platform/foundation/NSLog.h"
#include "platform/foundation/RunLoop.h"
#include "tests/support/TemporaryRoot.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

namespace {

// Each test gets a fresh device root and a record loaded from it; log lines are collected.
class SettingsStore : public ::testing::Test {
protected:
    void SetUp() override {
        sink = addLogSink([this](std::string_view line) { logLines.emplace_back(line); });
        setLogToStandardError(false);
        settings.setHideLockClock(false);
        settings.setShowStatusBarClock(false);
        settings.setHideUnlockSlider(false);
        settings.setBadgeColor(nullptr);
        settings.loadSettings();
        logLines.clear();
    }
    void TearDown() override {
        removeLogSink(sink);
        setLogToStandardError(true);
    }

    void writeFile(PlistDictionary dictionary, PlistFormat format = PlistFormat::Xml) {
        ASSERT_TRUE(writePropertyListFile(root / kCVSettingsFilePath, PlistValue(std::move(dictionary)),
                                          format));
    }
    void writeBytes(const std::string& bytes) { root.write(kCVSettingsFilePath, bytes); }

    void expectDefaults() const {
        EXPECT_TRUE(settings.enabled());
        EXPECT_EQ(settings.unlockType(), CVUnlockType::Drag);
        EXPECT_EQ(settings.unlockDirection(), CVUnlockDirection::Any);
        EXPECT_EQ(settings.unlockAnimation(), CVUnlockAnimation::Fade);
        EXPECT_EQ(settings.releaseAnimation(), CVReleaseAnimation::SlideBack);
        EXPECT_EQ(settings.pageTurnDirection(), CVPageTurnDirection::Left);
        EXPECT_EQ(settings.pullDirection(), CVPullDirection::Left);
        EXPECT_EQ(settings.badgeDesign(), "Red");
        EXPECT_EQ(settings.dragDistance(), 1.0);
        EXPECT_EQ(settings.turnDistance(), 0.6);
        EXPECT_EQ(settings.overlayTransparency(), 0.3);
        EXPECT_FALSE(settings.playUnlockSound());
        EXPECT_FALSE(settings.hideLockClock());
        EXPECT_FALSE(settings.showStatusBarClock());
        EXPECT_FALSE(settings.hideUnlockSlider());
        EXPECT_FALSE(settings.badgeColor());
    }

    TemporaryRoot root;
    CVSettings& settings = CVSettings::sharedCVSettings();
    std::vector<std::string> logLines;
    int sink = 0;
};

TEST_F(SettingsStore, BrokenOrMissingFilesLeaveEveryDefault) {
    const std::string valid = propertyListBytes(
        PlistValue(PlistDictionary{{"cvrUnlockType", PlistValue(3)}, {"cvrEnabled", PlistValue(false)}}));
    const std::pair<const char*, std::string> files[] = {
        {"empty", ""},
        {"truncated", valid.substr(0, valid.size() - 30)},
        {"not a property list", "cvrUnlockType = 3"},
        {"array root", propertyListBytes(PlistValue(PlistArray{PlistValue(3)}))},
        {"string root", propertyListBytes(PlistValue("cvrEnabled"))},
        {"binary garbage", std::string("bplist00\x01\x02\x03\xff\xff\xff\xff\xff\xff\xff\xff", 20)},
    };
    settings.loadSettings();
    expectDefaults();
    for (const auto& [name, bytes] : files) {
        SCOPED_TRACE(name);
        writeBytes(bytes);
        settings.loadSettings();
        expectDefaults();
    }
    std::ofstream(root / kCVSettingsFilePath) << valid;
    std::filesystem::resize_file(root / kCVSettingsFilePath, 100u << 20);
    settings.loadSettings();
    expectDefaults();
}

TEST_F(SettingsStore, EveryKeyIsReadInXmlAndBinaryFiles) {
    const PlistDictionary everyKey{
        {"cvrUnlockSound", PlistValue(true)},       {"cvrEnabled", PlistValue(false)},
        {"cvrUnlockDirection", PlistValue(5)},      {"cvrDragDistance", PlistValue(1.5)},
        {"cvrUnlockType", PlistValue(6)},           {"cvrUnlockAnimation", PlistValue(2)},
        {"pageTurnDirection", PlistValue(1)},       {"cvrPullDirection", PlistValue(0)},
        {"cvrBadgeDesign", PlistValue(3)},          {"cvrColor", PlistValue("{1, 0, 0, 1}")},
        {"cvrReleaseAnimation", PlistValue(1)},     {"cvrTurnDistance", PlistValue(0.8)},
        {"cvrHideUnlockSlider", PlistValue(true)},  {"cvrHideLockClock", PlistValue(true)},
        {"cvrShowStatusBarClock", PlistValue(true)}, {"cvrOverlayTransparency", PlistValue(0.5)},
    };
    for (const auto format : {PlistFormat::Xml, PlistFormat::Binary}) {
        writeFile(everyKey, format);
        settings.loadSettings();
        EXPECT_TRUE(settings.playUnlockSound());
        EXPECT_FALSE(settings.enabled());
        EXPECT_EQ(settings.unlockDirection(), CVUnlockDirection::Right);
        EXPECT_EQ(settings.dragDistance(), 1.5);
        EXPECT_EQ(settings.unlockType(), CVUnlockType::Vault);
        EXPECT_EQ(settings.unlockAnimation(), CVUnlockAnimation::SlideAndFadeWhileDragging);
        EXPECT_EQ(settings.pageTurnDirection(), CVPageTurnDirection::Right);
        EXPECT_EQ(settings.pullDirection(), CVPullDirection::Up);
        EXPECT_EQ(settings.badgeDesign(), "Custom");
        EXPECT_EQ(UIColor_Expanded::stringFromColor(settings.badgeColor()), "{1.000, 0.000, 0.000, 1.000}");
        EXPECT_EQ(settings.releaseAnimation(), CVReleaseAnimation::Elastic);
        EXPECT_EQ(settings.turnDistance(), 0.8);
        EXPECT_TRUE(settings.hideUnlockSlider());
        EXPECT_TRUE(settings.hideLockClock());
        EXPECT_TRUE(settings.showStatusBarClock());
        EXPECT_EQ(settings.overlayTransparency(), 0.5);
    }
}

TEST_F(SettingsStore, NumbersMayBeStoredAsStrings) {
    writeFile({{"cvrTurnDistance", PlistValue("0.8")},
               {"cvrUnlockType", PlistValue(" 3")},
               {"cvrEnabled", PlistValue("NO")},
               {"cvrHideLockClock", PlistValue("YES")},
               {"cvrDragDistance", PlistValue("2.5x")}});
    settings.loadSettings();
    EXPECT_EQ(settings.turnDistance(), 0.8);
    EXPECT_EQ(settings.unlockType(), CVUnlockType::Peel);
    EXPECT_FALSE(settings.enabled());
    EXPECT_TRUE(settings.hideLockClock());
    EXPECT_EQ(settings.dragDistance(), 2.5);
}

TEST_F(SettingsStore, AFileWithOnlyEnabledNoKeepsTheOtherDefaults) {
    writeFile({{"cvrEnabled", PlistValue(false)}});
    settings.loadSettings();
    EXPECT_FALSE(settings.enabled());
    settings.setEnabled(true);
    expectDefaults();
}

TEST_F(SettingsStore, ValuesOfTheWrongKindCountAsAbsent) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    settings.setHideLockClock(true);
    settings.setBadgeColor(UIColor::colorWithWhite(0.5, 1));
    writeFile({{"cvrEnabled", PlistValue(PlistArray{PlistValue(false)})},
               {"cvrUnlockType", PlistValue(PlistDictionary{{"a", PlistValue(3)}})},
               {"cvrPullDirection", PlistValue(PlistData{{1}})},
               {"cvrUnlockDirection", PlistValue(PlistDate{100})},
               {"cvrDragDistance", PlistValue(nan)},
               {"cvrTurnDistance", PlistValue(inf)},
               {"cvrOverlayTransparency", PlistValue("1e999")},
               {"cvrHideLockClock", PlistValue(PlistArray{})},
               {"cvrColor", PlistValue(7)}});
    settings.loadSettings();
    EXPECT_TRUE(settings.hideLockClock());  // not reset, and the array did not count
    ASSERT_TRUE(settings.badgeColor());     // nor the number where a colour string belongs
    settings.setHideLockClock(false);
    settings.setBadgeColor(nullptr);
    expectDefaults();
    EXPECT_TRUE(logLines.empty());
}

TEST_F(SettingsStore, BadgeDesignsMapByNumberAndUnknownOnesStayRed) {
    const std::pair<PlistValue, const char*> cases[] = {
        {PlistValue(0), "Red"},    {PlistValue(1), "Cloth"},  {PlistValue(2), "Grey"},
        {PlistValue(3), "Custom"}, {PlistValue(4), "Vellum"}, {PlistValue(9), "Red"},
        {PlistValue(-1), "Red"},   {PlistValue("4"), "Vellum"}, {PlistValue(4.7), "Vellum"},
    };
    for (const auto& [stored, design] : cases) {
        writeFile({{"cvrBadgeDesign", stored}});
        settings.loadSettings();
        EXPECT_EQ(settings.badgeDesign(), design);
    }
}

TEST_F(SettingsStore, FourFieldsKeepThePreviousLoadWhenTheirKeysGo) {
    writeFile({{"cvrHideLockClock", PlistValue(true)},
               {"cvrShowStatusBarClock", PlistValue(true)},
               {"cvrHideUnlockSlider", PlistValue(true)},
               {"cvrColor", PlistValue("{0.5, 1}")},
               {"cvrUnlockType", PlistValue(4)}});
    settings.loadSettings();
    writeFile({});
    settings.loadSettings();
    EXPECT_TRUE(settings.hideLockClock());
    EXPECT_TRUE(settings.showStatusBarClock());
    EXPECT_TRUE(settings.hideUnlockSlider());
    EXPECT_EQ(UIColor_Expanded::stringFromColor(settings.badgeColor()), "{0.500, 1.000}");
    EXPECT_EQ(settings.unlockType(), CVUnlockType::Drag);
}

TEST_F(SettingsStore, ThePageTurnKeyHasNoPrefix) {
    writeFile({{"cvrPageTurnDirection", PlistValue(2)}});
    settings.loadSettings();
    EXPECT_EQ(settings.pageTurnDirection(), CVPageTurnDirection::Left);
    writeFile({{"pageTurnDirection", PlistValue(2)}});
    settings.loadSettings();
    EXPECT_EQ(settings.pageTurnDirection(), CVPageTurnDirection::Any);
}

TEST_F(SettingsStore, EveryLoadWithAColourLogsTheStoredText) {
    writeFile({{"cvrColor", PlistValue(" {1,0,0,1} ")}});
    settings.loadSettings();
    settings.loadSettings();
    EXPECT_EQ(logLines, (std::vector<std::string>{"badgeColor= {1,0,0,1} ", "badgeColor= {1,0,0,1} "}));
    writeFile({{"cvrColor", PlistValue("not a colour")}});
    settings.loadSettings();
    EXPECT_FALSE(settings.badgeColor());
    EXPECT_EQ(logLines.back(), "badgeColor=not a colour");
}

TEST_F(SettingsStore, TheChangeNotificationReloadsAndOtherNamesDoNot) {
    writeFile({{"cvrUnlockType", PlistValue(3)}});
    auto* center = CFNotificationCenterGetDarwinNotifyCenter();
    CFNotificationCenterPostNotification(center, "com.quillmoss.corvane.other", nullptr, nullptr, true);
    RunLoop::main().runPending();
    EXPECT_EQ(settings.unlockType(), CVUnlockType::Drag);
    CFNotificationCenterPostNotification(center, kCVPrefsUpdatedNotification, nullptr, nullptr, true);
    EXPECT_EQ(settings.unlockType(), CVUnlockType::Drag);  // delivered by the run loop, not inside the post
    RunLoop::main().runPending();
    EXPECT_EQ(settings.unlockType(), CVUnlockType::Peel);
}

}  // namespace
