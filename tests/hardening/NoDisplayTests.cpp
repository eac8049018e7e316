// The window programs where no window can be opened: no display at all, or a display that is not
// there (a stale DISPLAY). Each says so in one line on standard error and ends with status 2;
// the corvane command, which opens two windows, says it once, not once for each.

#include "tests/hardening/ProgramProbe.h"
#include "tests/support/TemporaryRoot.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

constexpr auto kLimit = std::chrono::seconds(8);

TEST(NoDisplay, EachWindowProgramSaysSoInOneLine) {
    TemporaryRoot scratch;
    const auto root = scratch.path() / "root";
    std::filesystem::create_directories(root);
    std::filesystem::copy(std::filesystem::path(CORVANE_DEVICE_DIR) / "Library", root / "Library",
                          std::filesystem::copy_options::recursive);
    const std::pair<const char*, std::vector<std::string>> displays[] = {
        {"no display", {}},
        {"a display that is not there", {"DISPLAY=:4242"}},
    };
    for (const char* program : {CORVANE_COMMAND_PATH, CORVANE_SIM_PATH, CORVANE_SETTINGS_PATH}) {
        for (const auto& [display, environment] : displays) {
            SCOPED_TRACE(std::string(program) + " with " + display);
            const auto run = probeProgram(program, {"--root", root.string()}, "", scratch.path(),
                                          kLimit, RunAs::Caller, ProbeOutput::File, environment);
            EXPECT_EQ(run.status, 2);
            EXPECT_EQ(run.out, "");
            EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
            EXPECT_NE(run.err.find("no window can be opened"), std::string::npos) << run.err;
        }
    }
}

TEST(NoDisplay, TheCorvaneCommandRefusesWhatItDoesNotKnowInOneLine) {
    TemporaryRoot scratch;
    const std::vector<std::string> refused[] = {{"--colour"}, {"--device"}, {"--root"}};
    for (const auto& arguments : refused) {
        SCOPED_TRACE(arguments[0]);
        const auto run = probeProgram(CORVANE_COMMAND_PATH, arguments, "", scratch.path(), kLimit);
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
        EXPECT_NE(run.err.find("corvane --help"), std::string::npos) << run.err;
    }
}

}  // namespace
