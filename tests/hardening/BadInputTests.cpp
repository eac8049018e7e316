// Bad input everywhere a user can reach: every command of corvanectl, corvane-sim and
// corvane-settings, their scripts and the README's scripts, given missing, extra, huge or
// malformed arguments, device roots that are missing, not folders or read-only, and settings
// files that are folders, pipes or not property lists. Each must answer with one clear line on
// standard error (or an "error" event for a script line) and a non-zero status, or do what its
// documentation promises for that input; never crash, hang or leave a core. A case that stores a
// value has it read back from the settings file; every other case leaves that file as it was.

#include "tests/hardening/ProgramProbe.h"
#include "tests/support/TemporaryRoot.h"

#include "platform/foundation/PropertyList.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <sys/stat.h>

#include <algorithm>
#include <fstream>
#include <optional>
#include <sstream>

namespace {

enum class Program { Ctl, Sim, Settings, Shell };

// The device root a case runs on.
enum class Root {
    Installed,        // a device with Corvane installed
    Missing,          // --root names nothing
    NotAFolder,       // --root names a file
    ReadOnly,         // a device whose folders cannot be written (run as "nobody" when root)
    SettingsFolder,   // the settings file's place holds a folder
    SettingsPipe,     // ... a named pipe, which must never be waited on
    SettingsGarbage,  // ... a file that is not a property list
    SettingsHuge,     // ... a file past the 4 MiB that readers take
};

// How a case must be answered.
enum class Answer {
    ErrorLine,   // a non-zero status and exactly one line on standard error
    ErrorEvent,  // status 2, one "error" event ending the trace, and its line on standard error
    NoResult,    // status 1 and "null" (a colour that does not parse)
    Logged,      // status 0 and a log event saying why: the panel, as a user would, goes on
    Accepted,    // status 0: the input is one the documentation takes
    Warned,      // status 0 and one line on standard error saying what was made of the input
};

struct BadInputCase {
    BadInputCase(std::string name, Program program, std::vector<std::string> arguments,
                 std::string input = "", Root root = Root::Installed, Answer answer = Answer::ErrorLine)
        : name(std::move(name)),
          program(program),
          arguments(std::move(arguments)),
          input(std::move(input)),
          root(root),
          answer(answer) {}

    std::string name;
    Program program;
    std::vector<std::string> arguments;  // "{scratch}" is filled in; --root comes first
    std::string input;                   // standard input: the script of "--script -"
    Root root;
    Answer answer;
    // What the settings file must hold afterwards, read back, for a case that stores a value;
    // every other case must leave the settings file exactly as it found it.
    std::optional<std::pair<std::string, PlistValue>> stored;
};

// `c`, which must leave `value` stored under `key` in the settings file.
BadInputCase storing(BadInputCase c, std::string key, PlistValue value) {
    c.stored.emplace(std::move(key), std::move(value));
    return c;
}

// The longest single argument the kernel passes to a program (MAX_ARG_STRLEN is 128 KiB).
const std::string kHugeArgument(128 * 1024 - 1, 'a');
const std::string kMegabyteWord(1 << 20, 'a');
const std::string kMegabyteDigits(1 << 20, '7');

std::string manyLines(const std::string& line, int count) {
    std::string text;
    for (int i = 0; i < count; ++i) text += line + '\n';
    return text;
}

// A case reads as its name in the test's report.
void PrintTo(const BadInputCase& c, std::ostream* out) { *out << c.name; }

std::vector<BadInputCase> corvanectlCases() {
    using enum Program;
    using enum Answer;
    return {
        {"CorvanectlWithoutACommand", Ctl, {}},
        {"CorvanectlWithAnUnknownCommand", Ctl, {"frobnicate"}},
        {"CorvanectlPrefsWithoutASubcommand", Ctl, {"prefs"}},
        {"CorvanectlPrefsSetWithoutKeyOrValue", Ctl, {"prefs", "set"}},
        {"CorvanectlPrefsSetWithoutAValue", Ctl, {"prefs", "set", "cvrUnlockType"}},
        {"CorvanectlPrefsSetWithAnExtraWord", Ctl, {"prefs", "set", "cvrUnlockType", "1", "2"}},
        {"CorvanectlPrefsSetWithAnEmptyKey", Ctl, {"prefs", "set", "", "1"}},
        {"CorvanectlPrefsSetWithAnIntegerPastSixtyFourBits", Ctl, {"prefs", "set", "cvrUnlockType", "99999999999999999999999"}},
        {"CorvanectlPrefsSetWithAHugeValueIsRefused", Ctl, {"prefs", "set", "cvrColor", kHugeArgument}},
        {"CorvanectlPrefsSetWithAHugeKeyIsRefused", Ctl, {"prefs", "set", kHugeArgument, "1"}},
        storing({"CorvanectlPrefsSetRawWithAHugeValueStoresIt", Ctl, {"prefs", "set", "--raw", "cvrColor", kHugeArgument}, "", Root::Installed, Accepted},
                "cvrColor", PlistValue(kHugeArgument)),
        storing({"CorvanectlPrefsSetRawWithAHugeKeyStoresIt", Ctl, {"prefs", "set", "--raw", kHugeArgument, "1"}, "", Root::Installed, Accepted},
                kHugeArgument, PlistValue(1)),
        {"CorvanectlPrefsSetWithAMisspelledKey", Ctl, {"prefs", "set", "cvrUnlockTyp", "3"}},
        {"CorvanectlPrefsSetWithAWordForANumber", Ctl, {"prefs", "set", "cvrUnlockType", "banana"}},
        {"CorvanectlPrefsSetWithATypeOutOfRange", Ctl, {"prefs", "set", "cvrUnlockType", "99"}},
        {"CorvanectlPrefsSetWithANegativeType", Ctl, {"prefs", "set", "cvrUnlockType", "-1"}},
        {"CorvanectlPrefsSetWithANegativeDistance", Ctl, {"prefs", "set", "cvrDragDistance", "-1"}},
        {"CorvanectlPrefsSetWithAnEndlessDistance", Ctl, {"prefs", "set", "cvrDragDistance", "1e999"}},
        {"CorvanectlPrefsSetWithAColourThatDoesNotParse", Ctl, {"prefs", "set", "cvrColor", "reddish"}},
        {"CorvanectlPrefsSetWithTwoLinesForABoolean", Ctl, {"prefs", "set", "cvrEnabled", "YES\nNO"}},
        {"CorvanectlPrefsWithAMisspelledSubcommand", Ctl, {"prefs", "sett", "cvrUnlockType", "1"}},
        {"CorvanectlPrefsDeleteWithoutAKey", Ctl, {"prefs", "delete"}},
        {"CorvanectlPrefsDeleteWithTwoKeys", Ctl, {"prefs", "delete", "a", "b"}},
        {"CorvanectlPrefsShowWithAnExtraWord", Ctl, {"prefs", "show", "extra"}},
        {"CorvanectlNotifyWithoutAName", Ctl, {"notify"}},
        {"CorvanectlNotifyWithTwoLines", Ctl, {"notify", "two\nlines"}},
        {"CorvanectlNotifyWithANameTooLongToCarry", Ctl, {"notify", kHugeArgument}},
        {"CorvanectlColourWithoutASubcommand", Ctl, {"colour"}},
        {"CorvanectlColourWithAnUnknownSubcommand", Ctl, {"colour", "mix", "red"}},
        {"CorvanectlColourParseWithoutText", Ctl, {"colour", "parse"}},
        {"CorvanectlColourParseOfHugeTextIsNoColour", Ctl, {"colour", "parse", kHugeArgument}, "", Root::Installed, NoResult},
        {"CorvanectlColourHexOfNoHexIsNoColour", Ctl, {"colour", "hex", "zz"}, "", Root::Installed, NoResult},
        {"CorvanectlColourNameOfHugeTextIsNoColour", Ctl, {"colour", "name", kHugeArgument}, "", Root::Installed, NoResult},
        {"CorvanectlRootWithoutAFolder", Ctl, {"prefs", "show", "--root"}},
        {"CorvanectlWithAnUnknownOption", Ctl, {"--frobnicate", "prefs", "show"}},
        {"CorvanectlPrefsShowOnAMissingRoot", Ctl, {"prefs", "show"}, "", Root::Missing},
        {"CorvanectlPrefsSetOnAMissingRoot", Ctl, {"prefs", "set", "cvrUnlockType", "1"}, "", Root::Missing},
        {"CorvanectlPrefsSetOnARootThatIsAFile", Ctl, {"prefs", "set", "cvrUnlockType", "1"}, "", Root::NotAFolder},
        {"CorvanectlPrefsSetOnAReadOnlyRoot", Ctl, {"prefs", "set", "cvrUnlockType", "1"}, "", Root::ReadOnly},
        {"CorvanectlPrefsShowOnAReadOnlyRootShowsDefaults", Ctl, {"prefs", "show"}, "", Root::ReadOnly, Accepted},
        {"CorvanectlPrefsSetOverASettingsFolder", Ctl, {"prefs", "set", "cvrUnlockType", "1"}, "", Root::SettingsFolder},
        {"CorvanectlPrefsSetOverASettingsPipe", Ctl, {"prefs", "set", "cvrUnlockType", "1"}, "", Root::SettingsPipe},
        {"CorvanectlPrefsSetOverAFileThatIsNoPropertyList", Ctl, {"prefs", "set", "cvrUnlockType", "1"}, "", Root::SettingsGarbage},
        {"CorvanectlPrefsSetOverAFilePastTheSizeReadersTake", Ctl, {"prefs", "set", "cvrUnlockType", "1"}, "", Root::SettingsHuge},
        {"CorvanectlPrefsShowOfASettingsPipeShowsDefaultsAndSaysSo", Ctl, {"prefs", "show"}, "", Root::SettingsPipe, Warned},
        {"CorvanectlPrefsShowOfASettingsFolderShowsDefaultsAndSaysSo", Ctl, {"prefs", "show"}, "", Root::SettingsFolder, Warned},
        {"CorvanectlPrefsShowOfGarbageShowsDefaultsAndSaysSo", Ctl, {"prefs", "show"}, "", Root::SettingsGarbage, Warned},
        {"CorvanectlPrefsDeleteInASettingsPipe", Ctl, {"prefs", "delete", "cvrUnlockType"}, "", Root::SettingsPipe},
    };
}

std::vector<BadInputCase> simCases() {
    using enum Program;
    using enum Answer;
    const std::vector<std::string> script = {"--script", "-"};
    auto line = [&](std::string name, std::string input, Answer answer = ErrorEvent) {
        return BadInputCase{std::move(name), Sim, script, std::move(input), Root::Installed, answer};
    };
    return {
        {"SimWithAnUnknownOption", Sim, {"--frobnicate"}},
        {"SimScriptWithoutAFile", Sim, {"--script"}},
        {"SimScriptThatIsMissing", Sim, {"--script", "{scratch}/missing.sim"}},
        {"SimScriptThatIsAFolder", Sim, {"--script", "{scratch}"}},
        {"SimWithAnExtraWord", Sim, {"--script", "-", "extra"}},
        {"SimTraceIntoAFolder", Sim, {"--trace", "{scratch}", "--script", "-"}},
        {"SimWithAnUnknownDevice", Sim, {"--device", "nosuch", "--script", "-"}},
        {"SimRecordingWithoutAScript", Sim, {"--record-animation", "{scratch}/x.webp"}},
        {"SimWindowWithoutADisplay", Sim, {}},
        {"SimOnAMissingRoot", Sim, script, "boot\n", Root::Missing},
        {"SimOnARootThatIsAFile", Sim, script, "boot\n", Root::NotAFolder},
        {"SimPrefsSetOnAReadOnlyRoot", Sim, script, "prefs set cvrUnlockType 1\n", Root::ReadOnly, ErrorEvent},
        {"SimBootsOnAReadOnlyRoot", Sim, script, "boot\nlock\nwake\ndump settings\n", Root::ReadOnly, Accepted},
        {"SimPrefsSetOverASettingsPipe", Sim, script, "prefs set cvrUnlockType 1\n", Root::SettingsPipe, ErrorEvent},
        {"SimBootsWithASettingsPipe", Sim, script, "boot\ndump settings\n", Root::SettingsPipe, Accepted},
        {"SimPrefsClearOfASettingsFolder", Sim, script, "prefs clear\n", Root::SettingsFolder, ErrorEvent},
        line("SimScriptWithAnUnknownCommand", "frobnicate\n"),
        line("SimScriptWithAMissingArgument", "boot\ndown 1\n"),
        line("SimScriptWithAnExtraArgument", "boot now\n"),
        line("SimScriptWithAWordForANumber", "wait abc\n"),
        line("SimScriptWaitingBackwards", "wait -1\n"),
        line("SimScriptWaitingPastTheClock", "boot\nwait 1e300\n"),
        line("SimScriptWaitingForever", "wait inf\n"),
        line("SimScriptWithAnEmptyScreen", "screen 0 0\n"),
        line("SimScriptWithAScreenOfGigabytes", "screen 4096 4096 4\nboot\n"),
        line("SimScriptWithNoSuchOrientation", "orientation 7\n"),
        line("SimScriptWithAnUnterminatedQuote", "front-app \"com.example\n"),
        line("SimScriptTouchingBeforeBoot", "down 10 10\n"),
        line("SimScriptBootingTwice", "boot\nboot\n"),
        line("SimScriptEnteringAPasscodeNobodyAskedFor", "boot\npasscode enter\n"),
        line("SimScriptWithAnUnknownDevice", "device Nokia\n"),
        line("SimScriptCopyingAMissingSettingsFile", "prefs file no-such.plist\n"),
        line("SimScriptSettingAValueWithoutAKey", "prefs set cvrUnlockType\n"),
        line("SimScriptWithAHugeUnknownWord", kMegabyteWord + "\n"),
        line("SimScriptWaitingAMegabyteOfDigits", "wait " + kMegabyteDigits + "\n"),
        line("SimScriptStoringAMegabyteInteger", "prefs set cvrUnlockType " + kMegabyteDigits + "\n"),
        storing(line("SimScriptStoringAMegabyteString", "prefs set cvrColor " + kMegabyteWord + "\nboot\ndump settings\n", Accepted),
                "cvrColor", PlistValue(kMegabyteWord)),
        line("SimScriptWithAHundredThousandLinesThenABadOne", manyLines("wait 1", 100000) + "frobnicate\n"),
        line("SimScriptWithTenThousandMovesOfOneFinger", "boot\ndown 10 10\n" + manyLines("move 20 20", 10000) + "up\n", Accepted),
    };
}

std::vector<BadInputCase> settingsCases() {
    using enum Program;
    using enum Answer;
    const std::vector<std::string> script = {"--script", "-"};
    auto line = [&](std::string name, std::string input, Answer answer = ErrorEvent) {
        return BadInputCase{std::move(name), Settings, script, std::move(input), Root::Installed, answer};
    };
    return {
        {"SettingsWithAnUnknownOption", Settings, {"--frobnicate"}},
        {"SettingsScriptWithoutAFile", Settings, {"--script"}},
        {"SettingsScriptThatIsMissing", Settings, {"--script", "{scratch}/missing.txt"}},
        {"SettingsScriptThatIsAFolder", Settings, {"--script", "{scratch}"}},
        {"SettingsTraceIntoAFolder", Settings, {"--trace", "{scratch}", "--script", "-"}},
        {"SettingsWindowWithoutADisplay", Settings, {}},
        {"SettingsOnAMissingRoot", Settings, script, "open\n", Root::Missing},
        {"SettingsOnARootThatIsAFile", Settings, script, "open\n", Root::NotAFolder},
        {"SettingsStoringOnAReadOnlyRoot", Settings, script, "open\nset cvrUnlockType 1\n", Root::ReadOnly, Logged},
        {"SettingsStoringOverASettingsPipe", Settings, script, "open\nset cvrUnlockType 1\n", Root::SettingsPipe, Logged},
        {"SettingsStoringOverASettingsFolder", Settings, script, "open\nset cvrUnlockType 1\n", Root::SettingsFolder, Logged},
        line("SettingsScriptWithAnUnknownCommand", "frobnicate\n"),
        line("SettingsScriptOpeningTwice", "open\nopen\n"),
        line("SettingsScriptSettingBeforeOpen", "set cvrUnlockType 1\n"),
        line("SettingsScriptSettingAKeyNoRowShows", "open\nset nokey 1\n"),
        line("SettingsScriptTappingNoButton", "open\ntap nothing:\n"),
        line("SettingsScriptMovingNoSuchSlider", "open\ntap chooseColor:\nslider pink 1\n"),
        line("SettingsScriptSendingNoMail", "open\nmail send\n"),
        line("SettingsScriptWaitingBackwards", "wait -5\n"),
        line("SettingsScriptWaitingPastTheClock", "wait 1e300\n"),
        line("SettingsScriptWithAnUnknownDevice", "device Nokia\n"),
        line("SettingsScriptDumpingNoChooser", "open\ndump chooser\n"),
        line("SettingsScriptWithAnUnterminatedQuote", "open \"\n"),
        line("SettingsScriptStoringAMegabyteInteger", "open\nset cvrUnlockType " + kMegabyteDigits + "\n"),
        line("SettingsScriptWithAHugeUnknownWord", kMegabyteWord + "\n"),
        line("SettingsScriptWithAHundredThousandLinesThenABadOne", manyLines("wait 1", 100000) + "frobnicate\n"),
    };
}

std::vector<BadInputCase> shellCases() {
    using enum Program;
    const std::string source = CORVANE_SOURCE_DIR;
    return {
        {"RunShWithAnUnknownOption", Shell, {source + "/run.sh", "--frobnicate"}},
        {"RunShWithADeviceWithoutAName", Shell, {source + "/run.sh", "--device"}},
        {"RunShWithWindowOptionsWithoutADisplay", Shell, {source + "/run.sh", "--passcode"}},
        {"TestShWithAnyArgument", Shell, {source + "/test.sh", "--frobnicate"}},
        {"RecordDemosWithoutAFolder", Shell, {source + "/scripts/record-demos.sh"}},
    };
}

std::vector<BadInputCase> everyCase() {
    std::vector<BadInputCase> cases;
    for (auto part : {corvanectlCases(), simCases(), settingsCases(), shellCases()}) {
        cases.insert(cases.end(), part.begin(), part.end());
    }
    return cases;
}

std::string programPath(Program program) {
    switch (program) {
        case Program::Ctl: return CORVANECTL_PATH;
        case Program::Sim: return CORVANE_SIM_PATH;
        case Program::Settings: return CORVANE_SETTINGS_PATH;
        case Program::Shell: return "/bin/bash";
    }
    return {};
}

class BadInput : public ::testing::TestWithParam<BadInputCase> {
protected:
    ~BadInput() override {
        // A read-only device is made writable again, so that it can be removed.
        std::error_code ec;
        std::filesystem::permissions(root_, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ec);
    }

    // Makes the case's device root; its path.
    std::filesystem::path makeRoot(Root kind) {
        if (kind == Root::Missing) return scratch_.path() / "no-such-root";
        if (kind == Root::NotAFolder) {
            std::ofstream(scratch_.path() / "root-file") << "not a folder";
            return scratch_.path() / "root-file";
        }
        std::filesystem::create_directories(root_);
        std::filesystem::copy(std::filesystem::path(CORVANE_DEVICE_DIR) / "Library", root_ / "Library",
                              std::filesystem::copy_options::recursive);
        const auto settings = root_ / "User/Library/Preferences/com.quillmoss.corvane.plist";
        std::filesystem::create_directories(settings.parent_path());
        switch (kind) {
            case Root::ReadOnly:
                std::filesystem::permissions(scratch_.path(), std::filesystem::perms(0755));
                std::filesystem::permissions(root_, std::filesystem::perms(0555));
                break;
            case Root::SettingsFolder: std::filesystem::create_directories(settings / "inside"); break;
            case Root::SettingsPipe: ::mkfifo(settings.c_str(), 0644); break;
            case Root::SettingsGarbage: std::ofstream(settings) << "<plist><dict><key>a"; break;
            case Root::SettingsHuge:
                std::ofstream(settings) << "<plist><dict><key>a</key><string>" << std::string(5 << 20, 'a')
                                        << "</string></dict></plist>";
                break;
            default: break;
        }
        return root_;
    }

    TemporaryRoot scratch_;
    std::filesystem::path root_ = scratch_.path() / "root";
};

// The settings file of the device at `root`.
std::filesystem::path settingsFileOf(const std::filesystem::path& root) {
    return root / "User/Library/Preferences/com.quillmoss.corvane.plist";
}

// What lies at `path`, compared whole: nothing, a folder, a pipe (never opened: that would wait
// for a writer), or a file with all its bytes.
std::string stateOf(const std::filesystem::path& path) {
    std::error_code ec;
    switch (std::filesystem::symlink_status(path, ec).type()) {
        case std::filesystem::file_type::not_found: return "nothing";
        case std::filesystem::file_type::directory: return "a folder";
        case std::filesystem::file_type::fifo: return "a pipe";
        case std::filesystem::file_type::regular: {
            std::ostringstream bytes;
            bytes << std::ifstream(path, std::ios::binary).rdbuf();
            return "a file of " + bytes.str();
        }
        default: return "something else";
    }
}

// The arguments with the root and the scratch folder filled in, and --root for the programs.
std::vector<std::string> argumentsOf(const BadInputCase& c, const std::filesystem::path& root,
                                     const std::filesystem::path& scratch) {
    std::vector<std::string> arguments;
    const bool namesRoot = std::ranges::find(c.arguments, "--root") != c.arguments.end();
    if (c.program != Program::Shell && !namesRoot) arguments = {"--root", root.string()};
    for (auto argument : c.arguments) {
        if (argument == "{scratch}") argument = scratch.string();
        if (argument.starts_with("{scratch}/")) argument = (scratch / argument.substr(10)).string();
        arguments.push_back(argument);
    }
    return arguments;
}

// The trace's events; a line that is not JSON fails the test.
std::vector<nlohmann::json> eventsOf(const std::string& trace) {
    std::vector<nlohmann::json> events;
    std::istringstream lines(trace);
    for (std::string line; std::getline(lines, line);) {
        auto event = nlohmann::json::parse(line, nullptr, false);
        EXPECT_FALSE(event.is_discarded()) << "not JSON: " << line.substr(0, 200);
        events.push_back(std::move(event));
    }
    return events;
}

std::string shortened(const std::string& text) { return text.size() > 300 ? text.substr(0, 300) + "…" : text; }

TEST_P(BadInput, IsAnsweredClearlyWithoutACrashOrAHang) {
    const BadInputCase& c = GetParam();
    const auto root = makeRoot(c.root);
    const std::string settingsBefore = stateOf(settingsFileOf(root));
    const RunAs runAs = c.root == Root::ReadOnly ? RunAs::Nobody : RunAs::Caller;
    if (runAs == RunAs::Nobody && !nobodyCanRun(programPath(c.program))) {
        GTEST_SKIP() << "root cannot be kept out of a read-only device, and the user nobody cannot reach "
                     << programPath(c.program);
    }
    const ProbeRun run = probeProgram(programPath(c.program), argumentsOf(c, root, scratch_.path()), c.input,
                                      scratch_.path(), std::chrono::seconds(8), runAs);
    ASSERT_FALSE(run.timedOut) << "hung";
    ASSERT_EQ(run.signal, 0) << "ended by signal " << run.signal << "; stderr: " << shortened(run.err);
    const auto lines = std::count(run.err.begin(), run.err.end(), '\n');
    switch (c.answer) {
        case Answer::ErrorLine:
            EXPECT_NE(run.status, 0);
            EXPECT_EQ(lines, 1) << shortened(run.err);
            EXPECT_TRUE(run.err.size() > 1 && run.err.back() == '\n') << shortened(run.err);
            break;
        case Answer::ErrorEvent: {
            EXPECT_EQ(run.status, 2) << shortened(run.err);
            const auto events = eventsOf(run.out);
            ASSERT_FALSE(events.empty());
            EXPECT_EQ(events.back().value("ev", ""), "error") << shortened(events.back().dump());
            EXPECT_TRUE(events.back().contains("line") && events.back().contains("text"));
            // Told where a person looks too, with its line.
            EXPECT_EQ(lines, 1) << shortened(run.err);
            const std::string line = "line " + std::to_string(events.back().value("line", -1)) + ": ";
            EXPECT_NE(run.err.find(line), std::string::npos) << shortened(run.err);
            break;
        }
        case Answer::NoResult:
            EXPECT_EQ(run.status, 1);
            EXPECT_EQ(run.out, "null\n");
            EXPECT_EQ(run.err, "");
            break;
        case Answer::Logged: {
            EXPECT_EQ(run.status, 0) << shortened(run.err);
            const auto events = eventsOf(run.out);
            EXPECT_TRUE(std::ranges::any_of(events, [](const auto& e) {
                return e.value("ev", "") == "log" && e.value("text", "").find("settings file") != std::string::npos;
            })) << shortened(run.out);
            EXPECT_TRUE(std::ranges::none_of(events, [](const auto& e) { return e.value("ev", "") == "file-write"; }));
            break;
        }
        case Answer::Warned:
            EXPECT_EQ(run.status, 0) << shortened(run.err);
            EXPECT_EQ(lines, 1) << shortened(run.err);
            break;
        case Answer::Accepted:
            EXPECT_EQ(run.status, 0) << shortened(run.err) << shortened(run.out.substr(run.out.size() > 300 ? run.out.size() - 300 : 0));
            for (const auto& event : eventsOf(c.program == Program::Ctl ? "" : run.out)) {
                EXPECT_NE(event.value("ev", ""), "error") << shortened(event.dump());
            }
            break;
    }
    if (!c.stored) {
        EXPECT_TRUE(stateOf(settingsFileOf(root)) == settingsBefore)
            << "the settings file changed: it was " << shortened(settingsBefore) << "; it is "
            << shortened(stateOf(settingsFileOf(root)));
        return;
    }
    // Read back: the value is there whole, under its key, as what it was given as.
    const auto settings = readPropertyListDictionary(settingsFileOf(root));
    ASSERT_TRUE(settings) << "no settings file that reads as a dictionary";
    const auto& [key, value] = *c.stored;
    const auto found = settings->find(key);
    ASSERT_NE(found, settings->end())
        << "nothing stored under the key of " << key.size() << " bytes";
    EXPECT_TRUE(found->second == value) << "the value stored is not the one given";
}

INSTANTIATE_TEST_SUITE_P(Everywhere, BadInput, ::testing::ValuesIn(everyCase()),
                         [](const auto& info) { return info.param.name; });

}  // namespace
