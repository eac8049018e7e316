// corvanectl as a user runs it: a separate process, its output and its exit status.

#include "platform/foundation/PropertyList.h"
#include "platform/foundation/RunLoop.h"
#include "tests/support/RunProgram.h"
#include "tweak/settings/CVSettings.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

namespace {

// Runs corvanectl on the given root.
ProgramRun corvanectl(const TemporaryRoot& root, std::vector<std::string> args) {
    args.insert(args.begin(), {"--root", root.path().string()});
    return runProgram(CORVANECTL_PATH, std::move(args), root.path());
}

TEST(Corvanectl, PrefsShowPrintsTheRecordForEveryKindOfFile) {
    TemporaryRoot root;
    const std::pair<const char*, std::string> files[] = {
        {"absent", ""}, {"empty", ""}, {"garbage", "\x01\x02 not a plist"},
        {"array root", "<plist><array/></plist>"},
    };
    for (const auto& [name, bytes] : files) {
        SCOPED_TRACE(name);
        if (std::string(name) != "absent") root.write(kCVSettingsFilePath, bytes);
        const auto run = corvanectl(root, {"prefs", "show"});
        EXPECT_EQ(run.status, 0);
        const auto json = nlohmann::json::parse(run.out);
        EXPECT_EQ(json["enabled"], true);
        EXPECT_EQ(json["pullDirection"], 2);
        EXPECT_EQ(json["badgeDesign"], "Red");
        EXPECT_EQ(json["turnDistance"], 0.6);
        EXPECT_TRUE(json["badgeColor"].is_null());
        EXPECT_EQ(json.size(), 16u);
    }
}

TEST(Corvanectl, PrefsSetStoresTypedValuesThatShowReadsBack) {
    TemporaryRoot root;
    EXPECT_EQ(corvanectl(root, {"prefs", "set", "cvrUnlockType", "3"}).status, 0);
    EXPECT_EQ(corvanectl(root, {"prefs", "set", "cvrTurnDistance", "0.8"}).status, 0);
    EXPECT_EQ(corvanectl(root, {"prefs", "set", "cvrEnabled", "NO"}).status, 0);
    EXPECT_EQ(corvanectl(root, {"prefs", "set", "cvrColor", "{0.85, 0.85, 0.85, 0.85}"}).status, 0);
    EXPECT_EQ(corvanectl(root, {"prefs", "set", "--string", "cvrBadgeDesign", "4"}).status, 0);
    const auto file = *readPropertyListDictionary(root / kCVSettingsFilePath);
    EXPECT_EQ(file.at("cvrUnlockType"), PlistValue(3));
    EXPECT_EQ(file.at("cvrBadgeDesign"), PlistValue("4"));
    const auto run = corvanectl(root, {"prefs", "show"});
    const auto json = nlohmann::json::parse(run.out);
    EXPECT_EQ(json["unlockType"], 3);
    EXPECT_EQ(json["turnDistance"], 0.8);
    EXPECT_EQ(json["enabled"], false);
    EXPECT_EQ(json["badgeDesign"], "Vellum");
    EXPECT_EQ(json["badgeColor"], "{0.850, 0.850, 0.850, 0.850}");
    EXPECT_EQ(run.err, "badgeColor={0.85, 0.85, 0.85, 0.85}\n");
    EXPECT_EQ(corvanectl(root, {"prefs", "delete", "cvrUnlockType"}).status, 0);
    EXPECT_EQ(nlohmann::json::parse(corvanectl(root, {"prefs", "show"}).out)["unlockType"], 0);
}

TEST(Corvanectl, BadCommandsFailWithOneLineAndTouchNothing) {
    TemporaryRoot root;
    root.write(kCVSettingsFilePath, propertyListBytes(PlistValue(PlistDictionary{{"k", PlistValue(1)}})));
    const auto before = fileBytes(root / kCVSettingsFilePath);
    const std::vector<std::vector<std::string>> bad = {
        {},
        {"frobnicate"},
        {"prefs"},
        {"prefs", "set", "cvrUnlockType"},
        {"prefs", "set", "cvrUnlockType", "99999999999999999999"},
        {"prefs", "delete"},
        {"colour", "parse"},
        {"notify"},
        {"prefs", "show", "extra"},
    };
    for (const auto& args : bad) {
        SCOPED_TRACE(args.empty() ? "(none)" : args[0] + " " + (args.size() > 1 ? args[1] : ""));
        const auto run = corvanectl(root, args);
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(fileBytes(root / kCVSettingsFilePath), before);
    }
}

TEST(Corvanectl, ColoursPrintTheirModelComponentsAndString) {
    TemporaryRoot root;
    auto run = corvanectl(root, {"colour", "parse", "{0.5, 1}"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, R"({"model":"monochrome","components":[0.5,1.0],"string":"{0.500, 1.000}"})" "\n");
    run = corvanectl(root, {"colour", "name", "red"});
    EXPECT_EQ(nlohmann::json::parse(run.out)["components"], nlohmann::json::parse("[1.0,0.0,0.0,1.0]"));
    run = corvanectl(root, {"colour", "hex", "0XFF8000"});
    EXPECT_EQ(nlohmann::json::parse(run.out)["hex"], "FF8000");
    run = corvanectl(root, {"colour", "parse", "{1, 0, 0}"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "null\n");
}

TEST(Corvanectl, PrefsSetReachesARunningObserverInAnotherProcess) {
    TemporaryRoot root;
    auto& settings = CVSettings::sharedCVSettings();
    settings.loadSettings();
    CFNotificationCenterListen(CFNotificationCenterGetDarwinNotifyCenter());
    ASSERT_EQ(settings.unlockType(), CVUnlockType::Drag);
    ASSERT_EQ(corvanectl(root, {"prefs", "set", "cvrUnlockType", "3"}).status, 0);
    RunLoop::main().runPending();
    EXPECT_EQ(settings.unlockType(), CVUnlockType::Peel);
}

}  // namespace
