// The named-colour table, the look-up by name and the name cache.

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <thread>

#include "ColourTestSupport.h"
#include "colour/NamedColorTable.h"
#include "colour/UIColor_Expanded.h"
#include "colour/UIColor_Expanded_Support.h"

namespace {

using namespace UIColor_Expanded;
using colour_test::IsColor;
using UIColor_Expanded_Support::namedColorTable;
using UIColor_Expanded_Support::searchForColorByName;
using UIColor_Expanded_Support::TestApi::searchCount;

TEST(NamedColorTable, Lists147LowerCaseEntriesInOrderWithGreyBesideEveryGray) {
    EXPECT_EQ(namedColorTable.size(), 2485u);
    EXPECT_TRUE(namedColorTable.starts_with(",aliceblue#f0f8ff,antiquewhite#faebd7,"));
    EXPECT_TRUE(namedColorTable.ends_with(",yellow#ffff00,yellowgreen#9acd32"));
    std::map<std::string, std::string> byName;
    std::string previous;
    for (size_t at = 1; at < namedColorTable.size();) {
        size_t end = std::min(namedColorTable.find(',', at), namedColorTable.size());
        std::string entry(namedColorTable.substr(at, end - at));
        std::string name = entry.substr(0, entry.find('#'));
        std::string hex = entry.substr(name.size() + 1);
        EXPECT_EQ(name.find_first_not_of("abcdefghijklmnopqrstuvwxyz"), std::string::npos);
        EXPECT_EQ(hex.size(), 6u) << name;
        EXPECT_EQ(hex.find_first_not_of("0123456789abcdef"), std::string::npos) << name;
        EXPECT_LT(previous, name);
        byName[name] = hex;
        previous = name;
        at = end + 1;
    }
    EXPECT_EQ(byName.size(), 147u);
    int grays = 0;
    for (const auto& [name, hex] : byName) {
        size_t at = name.find("gray");
        if (at == std::string::npos) continue;
        EXPECT_EQ(byName[std::string(name).replace(at, 4, "grey")], hex) << name;
        ++grays;
    }
    EXPECT_EQ(grays, 7);
}

TEST(ColorByName, FindsExactLowerCaseNamesOnly) {
    const float g = 128.0f / 255.0f;
    const struct {
        const char* name;
        std::optional<std::vector<float>> components;
    } cases[] = {
        {"red", {{1, 0, 0, 1}}},  {"green", {{0, g, 0, 1}}},
        {"lime", {{0, 1, 0, 1}}}, {"gray", {{g, g, g, 1}}},
        {"grey", {{g, g, g, 1}}}, {"yellowgreen", {{154 / 255.0f, 205 / 255.0f, 50 / 255.0f, 1}}},
        {"Red", std::nullopt},    {"red ", std::nullopt},
        {"", std::nullopt},       {"dark", std::nullopt},
        // Names that hold the table's framing would otherwise span two entries.
        {"tan#d2b48c,teal", std::nullopt}, {"red#ff0000,rosybrown", std::nullopt},
    };
    for (const auto& [name, components] : cases) {
        UIColorRef named = colorWithName(name);
        if (components) {
            EXPECT_THAT(named, IsColor(kCGColorSpaceModelRGB, *components)) << name;
        } else {
            EXPECT_EQ(named, nullptr) << name;
        }
        EXPECT_EQ(rgbHex(searchForColorByName(name)), rgbHex(named)) << name;
    }
}

TEST(ColorByName, HandsOutOneCachedObjectPerNameAndSearchesOnce) {
    int before = searchCount();
    UIColorRef first = colorWithName("papayawhip");
    EXPECT_EQ(colorWithName("papayawhip"), first);
    EXPECT_EQ(colorWithName("NoSuchColour"), nullptr);
    EXPECT_EQ(colorWithName("NoSuchColour"), nullptr);
    EXPECT_EQ(searchCount() - before, 2);
    EXPECT_NE(searchForColorByName("papayawhip"), first);
    EXPECT_EQ(searchCount() - before, 3);
}

TEST(ColorByName, ThreadsAskingTogetherShareOneSearchAndOneObject) {
    int before = searchCount();
    std::vector<UIColorRef> answers(8);
    std::vector<std::thread> threads;
    for (UIColorRef& answer : answers) {
        threads.emplace_back([&answer] { answer = colorWithName("peachpuff"); });
    }
    for (std::thread& thread : threads) thread.join();
    EXPECT_EQ(searchCount() - before, 1);
    for (const UIColorRef& answer : answers) EXPECT_EQ(answer, answers[0]);
}

}  // namespace
