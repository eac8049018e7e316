// Output that cannot be written: standard output on the device that is always full or into a
// pipe whose reader has gone, and a trace file on a full device. Every program must say so in one
// line on standard error and end with a status that is not 0, however much or little it had to
// write, and a SpringBoard kept alive must stop rather than run its script into nothing.

#include "tests/hardening/ProgramProbe.h"
#include "tests/support/TemporaryRoot.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

struct OutputCase {
    std::string name;
    const char* program;
    std::vector<std::string> arguments;  // --root comes first
    std::string input;                   // the script of "--script -"
    ProbeOutput output;
};

void PrintTo(const OutputCase& c, std::ostream* out) {
    *out << c.name;
}

const std::string kSimScript = "boot\nlock\nwake\ndump settings\n";
const std::string kSettingsScript = "open\nrows\n";

std::vector<OutputCase> outputCases() {
    using enum ProbeOutput;
    std::vector<OutputCase> cases;
    for (const auto& [sink, output] :
         {std::pair{"OnAFullDevice", Full}, std::pair{"IntoAClosedPipe", ClosedPipe}}) {
        const std::string where = sink;
        cases.push_back(
            {"CorvanectlPrefsShow" + where, CORVANECTL_PATH, {"prefs", "show"}, "", output});
        cases.push_back({"CorvanectlColourParse" + where,
                         CORVANECTL_PATH,
                         {"colour", "parse", "{1, 0, 0, 1}"},
                         "",
                         output});
        cases.push_back(
            {"SimScript" + where, CORVANE_SIM_PATH, {"--script", "-"}, kSimScript, output});
        cases.push_back({"SimKeptAliveScript" + where,
                         CORVANE_SIM_PATH,
                         {"--keep-alive", "--script", "-"},
                         kSimScript,
                         output});
        cases.push_back({"SettingsScript" + where,
                         CORVANE_SETTINGS_PATH,
                         {"--script", "-"},
                         kSettingsScript,
                         output});
    }
    cases.push_back({"SimTraceFileOnAFullDevice",
                     CORVANE_SIM_PATH,
                     {"--script", "-", "--trace", "/dev/full"},
                     kSimScript,
                     File});
    cases.push_back({"SettingsTraceFileOnAFullDevice",
                     CORVANE_SETTINGS_PATH,
                     {"--script", "-", "--trace", "/dev/full"},
                     kSettingsScript,
                     File});
    return cases;
}

class OutputFailure : public ::testing::TestWithParam<OutputCase> {
protected:
    void SetUp() override {
        std::filesystem::create_directories(root_);
        std::filesystem::copy(std::filesystem::path(CORVANE_DEVICE_DIR) / "Library",
                              root_ / "Library", std::filesystem::copy_options::recursive);
    }

    ProbeRun run(const char* program, std::vector<std::string> arguments, const std::string& input,
                 ProbeOutput output) {
        arguments.insert(arguments.begin(), {"--root", root_.string()});
        return probeProgram(program, arguments, input, scratch_.path(), std::chrono::seconds(8),
                            RunAs::Caller, output);
    }

    TemporaryRoot scratch_;
    std::filesystem::path root_ = scratch_.path() / "root";
};

TEST_P(OutputFailure, IsOneLineOnStandardErrorAndAStatusThatIsNotZero) {
    const auto& c = GetParam();
    const ProbeRun result = run(c.program, c.arguments, c.input, c.output);
    EXPECT_FALSE(result.timedOut);
    EXPECT_EQ(result.signal, 0) << "ended silently by a signal";
    EXPECT_NE(result.status, 0);
    EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
    EXPECT_NE(result.err.find("cannot write"), std::string::npos) << result.err;
}

INSTANTIATE_TEST_SUITE_P(Everywhere, OutputFailure, ::testing::ValuesIn(outputCases()),
                         [](const auto& info) { return info.param.name; });

// A script far longer than the time allowed, kept alive: it must stop at the first line the
// closed pipe refuses, not run to its end into nothing.
TEST_F(OutputFailure, AKeptAliveSpringBoardStopsAtTheFirstLineThatCannotBeWritten) {
    std::string script = "boot\n";
    for (int i = 0; i < 200000; ++i) script += "dump settings\n";
    const ProbeRun result =
        run(CORVANE_SIM_PATH, {"--keep-alive", "--script", "-"}, script, ProbeOutput::ClosedPipe);
    EXPECT_FALSE(result.timedOut);
    EXPECT_NE(result.status, 0);
    EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
}

}  // namespace
