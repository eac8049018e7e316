#include "sim/device/ScriptParser.h"

#include <gtest/gtest.h>

namespace {

using Words = std::vector<std::string>;

TEST(ScriptParser, SplitsWordsQuotesAndComments) {
    EXPECT_EQ(*splitScriptWords("  down 10 20  "), (Words{"down", "10", "20"}));
    EXPECT_EQ(*splitScriptWords("device \"iPod touch\" # a comment"), (Words{"device", "iPod touch"}));
    EXPECT_EQ(*splitScriptWords("prefs set cvrColor \"{1, 0, 0, 1}\""),
              (Words{"prefs", "set", "cvrColor", "{1, 0, 0, 1}"}));
    EXPECT_EQ(*splitScriptWords("notify \"a # not a comment\""), (Words{"notify", "a # not a comment"}));
    EXPECT_EQ(*splitScriptWords("# only a comment"), Words{});
    EXPECT_FALSE(splitScriptWords("device \"iPod touch"));
}

TEST(ScriptParser, CommandsTakeTheirVerbAndArguments) {
    using Numbers = std::vector<double>;
    const struct {
        const char* line;
        ScriptVerb verb;
        Words words;
        Numbers numbers;
    } good[] = {
        {"boot", ScriptVerb::Boot, {}, {}},
        {"screen 375 667 2", ScriptVerb::Screen, {}, {375, 667, 2}},
        {"screen 320 480", ScriptVerb::Screen, {}, {320, 480}},
        {"down 1.5 -2 30 40", ScriptVerb::Down, {}, {1.5, -2, 30, 40}},
        {"prefs set cvrUnlockType 3", ScriptVerb::PrefsSet, {"cvrUnlockType", "3"}, {}},
        {"camera off", ScriptVerb::CameraOff, {}, {}},
        {"passcode enter", ScriptVerb::PasscodeEnter, {}, {}},
        {"springboard without isSyncing", ScriptVerb::SpringBoardWithout, {"isSyncing"}, {}},
        {"dump session", ScriptVerb::DumpSession, {}, {}},
        {"wait 250", ScriptVerb::Wait, {}, {250}},
        {"wait +250", ScriptVerb::Wait, {}, {250}},
    };
    for (const auto& c : good) {
        SCOPED_TRACE(c.line);
        const auto parsed = parseScriptLine(c.line, 7);
        ASSERT_TRUE(parsed.command) << parsed.error->text;
        EXPECT_EQ(parsed.command->verb, c.verb);
        EXPECT_EQ(parsed.command->words, c.words);
        EXPECT_EQ(parsed.command->numbers, c.numbers);
        EXPECT_EQ(parsed.command->line, 7);
    }
    EXPECT_STREQ(scriptVerbName(ScriptVerb::PrefsSet), "prefs set");
    EXPECT_FALSE(parseScriptLine("   # nothing", 1).command);
    EXPECT_FALSE(parseScriptLine("   # nothing", 1).error);
}

TEST(ScriptParser, MalformedLinesNameTheirFault) {
    const char* bad[] = {
        "frobnicate", "camera", "camera sideways", "wait", "wait soon", "wait 1 2",
        "down 10", "down 1 2 3 4 5", "screen 320 nan", "prefs set cvrUnlockType",
        "dump", "snap", "device \"iPod touch",
    };
    for (const char* line : bad) {
        SCOPED_TRACE(line);
        const auto parsed = parseScriptLine(line, 3);
        EXPECT_FALSE(parsed.command);
        ASSERT_TRUE(parsed.error);
        EXPECT_EQ(parsed.error->line, 3);
        EXPECT_FALSE(parsed.error->text.empty());
    }
}

TEST(ScriptParser, AHugeBadLineMakesAShortError) {
    const std::string huge(1 << 20, 'x'), number = "wait " + std::string(1 << 20, '9') + "z";
    for (const std::string& line : {huge, number}) {
        const auto parsed = parseScriptLine(line, 1);
        ASSERT_TRUE(parsed.error);
        EXPECT_LT(parsed.error->text.size(), 200u);
    }
    EXPECT_EQ(parseScriptLine("frobnicate now", 1).error->text, "unknown command: frobnicate now");
}

}  // namespace
