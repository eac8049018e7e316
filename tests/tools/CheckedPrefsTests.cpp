// What `corvanectl prefs set` holds a value to: each key's kind and values, a suggestion for a
// misspelled key, and the agreement of the keys it knows with the rows of the settings panel.

#include "common/tooling/NearestWord.h"
#include "common/tooling/PrefsEditing.h"
#include "platform/foundation/PropertyList.h"
#include "tweak/settings/CVSettingsKeys.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

struct Check {
    const char* key;
    const char* text;
    std::optional<PlistValue> stored;  // nothing: refused
};

TEST(CheckedPrefs, EachKeyTakesItsKindAndValuesAndRefusesTheRest) {
    const Check cases[] = {
        {"cvrEnabled", "YES", PlistValue(true)},
        {"cvrEnabled", "0", PlistValue(false)},
        {"cvrEnabled", "maybe", std::nullopt},
        {"cvrEnabled", "2", std::nullopt},
        {"cvrUnlockType", "3", PlistValue(3)},
        {"cvrUnlockType", "peel", PlistValue(3)},
        {"cvrUnlockType", "Pull Badge", PlistValue(4)},
        {"cvrUnlockType", "7", std::nullopt},
        {"cvrUnlockType", "-1", std::nullopt},
        {"cvrUnlockType", "banana", std::nullopt},
        {"cvrUnlockType", "2.5", std::nullopt},
        {"cvrReleaseAnimation", "2", std::nullopt},
        {"pageTurnDirection", "2", PlistValue(2)},
        {"cvrBadgeDesign", "vellum", PlistValue(4)},
        {"cvrDragDistance", "0", PlistValue(0.0)},
        {"cvrDragDistance", "3", PlistValue(3.0)},
        {"cvrDragDistance", "-0.1", std::nullopt},
        {"cvrDragDistance", "1e999", std::nullopt},
        {"cvrTurnDistance", "0.8", PlistValue(0.8)},
        {"cvrTurnDistance", "1.5", std::nullopt},
        {"cvrOverlayTransparency", "1", PlistValue(1.0)},
        {"cvrColor", "{1, 0, 0, 1}", PlistValue("{1, 0, 0, 1}")},
        {"cvrColor", "{0.5, 1}", PlistValue("{0.5, 1}")},
        {"cvrColor", "red", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.key) + " " + c.text);
        const auto parsed = checkedPrefsValue(c.key, c.text, PrefsValueKind::Inferred);
        EXPECT_EQ(parsed.value, c.stored);
        if (!c.stored) {
            EXPECT_NE(parsed.error.find(std::string(c.key) + " takes "), std::string::npos) << parsed.error;
        }
    }
}

TEST(CheckedPrefs, AStringKeepsTheTextOnceItReadsAsWhatTheKeyTakes) {
    EXPECT_EQ(checkedPrefsValue("cvrBadgeDesign", "4", PrefsValueKind::String).value, PlistValue("4"));
    // By name, stored as the number the tweak reads.
    EXPECT_EQ(checkedPrefsValue("cvrUnlockType", "peel", PrefsValueKind::String).value, PlistValue("3"));
    EXPECT_FALSE(checkedPrefsValue("cvrBadgeDesign", "9", PrefsValueKind::String).value);
}

TEST(CheckedPrefs, AnUnknownKeyIsRefusedWithTheNearestKnownOne) {
    const std::pair<const char*, const char*> cases[] = {
        {"cvrUnlockTyp", "did you mean cvrUnlockType?"},
        {"CVRENABLED", "did you mean cvrEnabled?"},
        {"pagTurnDirecton", "did you mean pageTurnDirection?"},
        {"volume", "no setting is called \"volume\"; --raw"},
    };
    for (const auto& [key, words] : cases) {
        const auto parsed = checkedPrefsValue(key, "1", PrefsValueKind::Inferred);
        EXPECT_FALSE(parsed.value);
        EXPECT_NE(parsed.error.find(words), std::string::npos) << parsed.error;
    }
}

TEST(CheckedPrefs, AnErrorIsOneLineHoweverTheValueLooks) {
    const auto parsed = checkedPrefsValue("cvrEnabled", std::string(1000, 'x') + "\n\t", PrefsValueKind::Inferred);
    ASSERT_FALSE(parsed.value);
    EXPECT_EQ(parsed.error.find('\n'), std::string::npos);
    EXPECT_LT(parsed.error.size(), 200u);
}

TEST(NearestWord, SuggestsOnlyWhatIsNearEnoughToBeATypo) {
    const std::vector<std::string_view> words = {"show", "set", "delete", "reset"};
    EXPECT_EQ(nearestWord("sett", words), "set");
    EXPECT_EQ(nearestWord("dleete", words), "delete");  // two letters swapped
    EXPECT_EQ(nearestWord("SHOW", words), "show");
    EXPECT_EQ(nearestWord("frobnicate", words), std::nullopt);
    EXPECT_EQ(nearestWord("", words), std::nullopt);
}

// Every value-bearing row of the panel stores a key corvanectl knows, of the kind its cell
// shows, with the same choices.
TEST(CheckedPrefs, TheKeysAgreeWithThePanelsRows) {
    const auto list = readPropertyListDictionary(CORVANE_PANEL_LIST);
    ASSERT_TRUE(list);
    const auto* items = list->at("items").as<PlistArray>();
    ASSERT_TRUE(items);
    int rows = 0;
    for (const auto& item : *items) {
        const auto& row = *item.as<PlistDictionary>();
        const auto key = row.find("key");
        if (key == row.end()) continue;
        const std::string name = *key->second.as<std::string>();
        SCOPED_TRACE(name);
        const CVSettingsKey* known = CVSettingsKeyNamed(name);
        ASSERT_TRUE(known);
        const std::string cell = *row.at("cell").as<std::string>();
        if (cell == "PSSwitchCell") {
            EXPECT_EQ(known->kind, CVSettingsKeyKind::Boolean);
        }
        if (cell == "PSSliderCell") {
            EXPECT_EQ(known->kind, CVSettingsKeyKind::Number);
            EXPECT_GE(*row.at("min").as<double>(), known->least);
            EXPECT_LE(*row.at("max").as<double>(), known->most);
        }
        if (cell == "PSLinkListCell") {
            ASSERT_EQ(known->kind, CVSettingsKeyKind::Choice);
            const auto& values = *row.at("validValues").as<PlistArray>();
            ASSERT_EQ(values.size(), known->choices.size());
            for (std::size_t i = 0; i < values.size(); ++i) {
                EXPECT_EQ(*values[i].as<std::int64_t>(), known->choices[i].first);
            }
        }
        ++rows;
    }
    EXPECT_EQ(rows, 15);  // every key but the colour, which the chooser stores
}

}  // namespace
