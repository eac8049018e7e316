#include "sim/device/ScriptRunner.h"

#include "platform/foundation/RunLoop.h"
#include "tests/support/TemporaryRoot.h"
#include "tweak/settings/CVSettings.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <sstream>

namespace {

// A SpringBoard that only records what it was asked.
class RecordingHost : public SpringBoardHost {
public:
    void boot(const DeviceConfig& config, Trace&) override {
        booted = config;
        calls.push_back("boot");
    }
    ScriptResult perform(const ScriptCommand& command) override {
        std::string call = scriptVerbName(command.verb);
        for (double n : command.numbers) call.append(" ").append(std::to_string(static_cast<int>(n)));
        calls.push_back(call);
        return std::nullopt;
    }
    nlohmann::ordered_json dumpSettings() override { return {{"unlockType", 3}}; }
    nlohmann::ordered_json dumpViews() override { return nlohmann::ordered_json::array(); }
    nlohmann::ordered_json dumpSession() override { return {{"isUnlocking", false}}; }
    bool snap(const std::filesystem::path&) override { return true; }

    DeviceConfig booted;
    std::vector<std::string> calls;
};

struct Runner : ::testing::Test {
    std::vector<nlohmann::json> events() const {
        std::vector<nlohmann::json> result;
        std::istringstream lines(out.str());
        for (std::string line; std::getline(lines, line);) result.push_back(nlohmann::json::parse(line));
        return result;
    }

    TemporaryRoot root;
    std::ostringstream out;
    Trace trace{out, [] { return RunLoop::main().now(); }};
    RecordingHost host;
    ScriptRunner runner{trace, host, root.path(), std::nullopt};
};

TEST_F(Runner, SetsUpTheDeviceThenHandsSpringBoardItsCommands) {
    const int status = runner.run(
        "device iPad\nscreen 768 1024 2\npasscode on\nfront-app com.example.mail\n"
        "springboard without isSyncing\nboot\nlock\nwait 100\ndown 10 20\nup\n");
    EXPECT_EQ(status, 0);
    EXPECT_EQ(host.booted.model, "iPad");
    EXPECT_EQ(host.booted.screenWidth, 768);
    EXPECT_EQ(host.booted.screenScale, 2);
    EXPECT_TRUE(host.booted.passcode);
    EXPECT_EQ(host.booted.frontApp, "com.example.mail");
    EXPECT_TRUE(host.booted.withoutSelectors.contains("isSyncing"));
    EXPECT_EQ(host.calls, (std::vector<std::string>{"boot", "lock", "down 10 20", "up"}));
}

TEST_F(Runner, ADeviceOfTheWindowBringsItsScreenAndAModelKeepsTheOneSet) {
    const struct {
        const char* script;
        const char* model;
        float width, height, scale;
    } cases[] = {
        {"device iphone-430\nboot\n", "iPhone", 430, 932, 3},
        {"device ipad\nboot\n", "iPad", 768, 1024, 1},
        {"screen 375 667 2\ndevice \"iPod touch\"\nboot\n", "iPod touch", 375, 667, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.script);
        ASSERT_EQ(ScriptRunner(trace, host, root.path(), std::nullopt).run(c.script), 0);
        EXPECT_EQ(host.booted.model, c.model);
        EXPECT_EQ(host.booted.screenWidth, c.width);
        EXPECT_EQ(host.booted.screenHeight, c.height);
        EXPECT_EQ(host.booted.screenScale, c.scale);
    }
}

TEST_F(Runner, AMalformedLineStopsTheRunWithItsLineNumber) {
    EXPECT_EQ(runner.run("boot\n# fine\nlock\ncamera sideways\nlock\n"), 2);
    EXPECT_EQ(host.calls, (std::vector<std::string>{"boot", "lock"}));
    const auto last = events().back();
    EXPECT_EQ(last["ev"], "error");
    EXPECT_EQ(last["line"], 4);
    ASSERT_TRUE(runner.failure());
    EXPECT_EQ(runner.failure()->line, 4);
    EXPECT_EQ(runner.run("donw 1 2\n"), 2);  // a typo is told with the command meant
    EXPECT_NE(runner.failure()->text.find("did you mean down?"), std::string::npos);
}

TEST_F(Runner, CommandsOutOfOrderAreErrors) {
    EXPECT_EQ(runner.run("lock\n"), 2);
    EXPECT_EQ(runner.run("boot\nscreen 100 100\n"), 2);
    EXPECT_EQ(events().back()["line"], 2);
}

TEST_F(Runner, WaitAdvancesTheClockAndTimesTheTraceFromBoot) {
    EXPECT_EQ(runner.run("wait 50\nboot\nwait 250\ndump session\n"), 0);
    const auto dump = events().back();
    EXPECT_EQ(dump["t"], 250);
    EXPECT_EQ(dump["what"], "session");
}

TEST_F(Runner, PrefsCommandsWriteTheFileWithoutPosting) {
    ASSERT_EQ(runner.run("prefs set cvrUnlockType 3\nprefs set cvrColor \"{1, 0, 0, 1}\"\n"
                         "prefs set cvrEnabled NO\nprefs delete cvrEnabled\n"),
              0);
    const auto file = *readPropertyListDictionary(root / kCVSettingsFilePath);
    EXPECT_EQ(file.at("cvrUnlockType"), PlistValue(3));
    EXPECT_EQ(file.at("cvrColor"), PlistValue("{1, 0, 0, 1}"));
    EXPECT_FALSE(file.contains("cvrEnabled"));
    root.write("/broken.plist", "not a plist");
    ASSERT_EQ(runner.run("prefs file broken.plist\n"), 0);
    EXPECT_EQ(fileBytes(root / kCVSettingsFilePath), "not a plist");
    ASSERT_EQ(runner.run("prefs clear\n"), 0);
    EXPECT_FALSE(std::filesystem::exists(root / kCVSettingsFilePath));
    EXPECT_EQ(runner.run("prefs file missing.plist\n"), 2);
}

}  // namespace
