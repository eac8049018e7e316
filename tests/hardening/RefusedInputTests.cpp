// Input that used to be taken for something else: an empty --root (an unset shell variable) for
// the default device, and a script's notification name the transport cannot carry for a post to
// this process alone. Each is refused with one line and a status that is not 0.

#include "tests/hardening/ProgramProbe.h"
#include "tests/support/TemporaryRoot.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <sstream>

namespace {

constexpr auto kLimit = std::chrono::seconds(8);

// The settings file of the device a program uses without --root.
std::filesystem::path defaultSettingsFile() {
    return std::filesystem::path(CORVANE_DEVICE_DIR) /
           "User/Library/Preferences/com.quillmoss.corvane.plist";
}

TEST(RefusedInput, AnEmptyRootIsRefusedAndTheDefaultDeviceLeftAlone) {
    TemporaryRoot scratch;
    const auto settings = defaultSettingsFile();
    const bool existed = std::filesystem::exists(settings);
    const auto before = fileBytes(settings);
    const std::pair<const char*, std::vector<std::string>> runs[] = {
        {CORVANECTL_PATH, {"--root", "", "prefs", "set", "cvrUnlockType", "3"}},
        {CORVANECTL_PATH, {"prefs", "delete", "cvrUnlockType", "--root", ""}},
        {CORVANE_SIM_PATH, {"--root", "", "--script", "-"}},
        {CORVANE_SETTINGS_PATH, {"--root", "", "--script", "-"}},
    };
    for (const auto& [program, arguments] : runs) {
        SCOPED_TRACE(std::string(program) + " " + arguments[0]);
        const auto run = probeProgram(program, arguments,
                                      "prefs set cvrUnlockType 3\nopen\nset cvrUnlockType 3\n",
                                      scratch.path(), kLimit);
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
        EXPECT_NE(run.err.find("--root is empty"), std::string::npos) << run.err;
    }
    EXPECT_EQ(std::filesystem::exists(settings), existed);
    EXPECT_EQ(fileBytes(settings), before);
}

TEST(RefusedInput, AScriptPostsNoNameTheTransportCannotCarry) {
    TemporaryRoot scratch;
    const auto root = scratch.path() / "root";
    std::filesystem::create_directories(root);
    const std::string names[] = {std::string(1001, 'n'), std::string("with\0nul", 8)};
    for (const auto& name : names) {
        const auto run = probeProgram(CORVANE_SIM_PATH, {"--root", root.string(), "--script", "-"},
                                      "boot\nnotify \"" + name + "\"\n", scratch.path(), kLimit);
        EXPECT_EQ(run.status, 2);
        std::istringstream lines(run.out);
        std::string line, last;
        bool notified = false;
        while (std::getline(lines, line)) {
            const auto event = nlohmann::json::parse(line);
            notified = notified || event["ev"] == "notification";
            last = event["ev"];
        }
        EXPECT_FALSE(notified);
        EXPECT_EQ(last, "error");
    }
}

}  // namespace
