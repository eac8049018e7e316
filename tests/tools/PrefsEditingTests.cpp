#include "common/tooling/PrefsEditing.h"

#include "tests/support/TemporaryRoot.h"

#include <gtest/gtest.h>

namespace {

TEST(PrefsEditing, ValuesTakeTheKindTheyLookLike) {
    const std::pair<const char*, PlistValue> cases[] = {
        {"true", PlistValue(true)},       {"YES", PlistValue(true)},
        {"false", PlistValue(false)},     {"NO", PlistValue(false)},
        {"3", PlistValue(3)},             {"-12", PlistValue(-12)},
        {"+4", PlistValue(4)},            {"0.8", PlistValue(0.8)},
        {"-.5", PlistValue(-0.5)},        {"1e3", PlistValue(1000.0)},
        {"yes", PlistValue("yes")},       {"{1, 0, 0, 1}", PlistValue("{1, 0, 0, 1}")},
        {"3x", PlistValue("3x")},         {"1e", PlistValue("1e")},
        {"", PlistValue("")},             {".", PlistValue(".")},
    };
    for (const auto& [text, expected] : cases) {
        SCOPED_TRACE(text);
        const auto parsed = parsePrefsValue(text, PrefsValueKind::Inferred);
        ASSERT_TRUE(parsed.value);
        EXPECT_EQ(*parsed.value, expected);
    }
    EXPECT_EQ(*parsePrefsValue("3", PrefsValueKind::String).value, PlistValue("3"));
}

TEST(PrefsEditing, NumbersBeyondRangeAreRefused) {
    EXPECT_FALSE(parsePrefsValue("99999999999999999999", PrefsValueKind::Inferred).value);
    EXPECT_FALSE(parsePrefsValue("1e999", PrefsValueKind::Inferred).value);
    EXPECT_EQ(*parsePrefsValue("1e999", PrefsValueKind::String).value, PlistValue("1e999"));
}

TEST(PrefsEditing, SetAndDeleteKeepTheOtherKeys) {
    TemporaryRoot root;
    const auto file = root.path() / "s.plist";
    EXPECT_EQ(setPrefsValue(file, "a", PlistValue(1)), "");
    EXPECT_EQ(setPrefsValue(file, "b", PlistValue("two")), "");
    EXPECT_EQ(deletePrefsValue(file, "a"), "");
    EXPECT_EQ(deletePrefsValue(file, "absent"), "");
    EXPECT_EQ(*readPropertyListDictionary(file), (PlistDictionary{{"b", PlistValue("two")}}));
}

TEST(PrefsEditing, AFileThatIsNotADictionaryIsNeverOverwritten) {
    TemporaryRoot root;
    const auto file = root.path() / "s.plist";
    for (const std::string bytes : {"garbage", "<plist><array></array></plist>"}) {
        std::ofstream(file) << bytes;
        EXPECT_NE(setPrefsValue(file, "a", PlistValue(1)), "");
        EXPECT_NE(deletePrefsValue(file, "a"), "");
        EXPECT_EQ(fileBytes(file), bytes);
    }
    EXPECT_NE(setPrefsValue(root.path() / "t.plist", "", PlistValue(1)), "");
}

}  // namespace
