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
    const std::vector<std::pair<const char*, std::pair<const char*, Words>>> good = {
        {"boot", {"boot", {}}},
        {"screen 375 667 2", {"screen", {"375", "667", "2"}}},
        {"screen 320 480", {"screen", {"320", "480"}}},
        {"down 1.5 -2 30 40", {"down", {"1.5", "-2", "30", "40"}}},
        {"prefs set cvrUnlockType 3", {"prefs set", {"cvrUnlockType", "3"}}},
        {"camera off", {"camera off", {}}},
        {"passcode enter", {"passcode enter", {}}},
        {"springboard without isSyncing", {"springboard without", {"isSyncing"}}},
        {"dump session", {"dump session", {}}},
        {"wait 250", {"wait", {"250"}}},
    };
    for (const auto& [line, expected] : good) {
        SCOPED_TRACE(line);
        const auto parsed = parseScriptLine(line, 7);
        ASSERT_TRUE(parsed.command) << parsed.error->text;
        EXPECT_EQ(parsed.command->verb, expected.first);
        EXPECT_EQ(parsed.command->arguments, expected.second);
        EXPECT_EQ(parsed.command->line, 7);
    }
    EXPECT_EQ(parseScriptLine("down 1.5 -2", 1).command->number(1), -2.0);
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

}  // namespace
