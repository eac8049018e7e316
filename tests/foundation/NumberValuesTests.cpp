#include "platform/foundation/NumberValues.h"
#include "platform/foundation/PropertyList.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

struct StringCase {
    const char* text;
    bool asBool;
    int asInt;
    double asDouble;
};

// Strings as the settings panel may store them, and the ways they go wrong.
const StringCase kStringCases[] = {
    {"", false, 0, 0},
    {"YES", true, 0, 0},
    {"yes", true, 0, 0},
    {"true", true, 0, 0},
    {"Tuesday", true, 0, 0},
    {"NO", false, 0, 0},
    {"false", false, 0, 0},
    {"1", true, 1, 1},
    {"  \t\n 7", true, 7, 7},
    {"+007", true, 7, 7},
    {"-3", true, -3, -3},
    {"000", false, 0, 0},
    {"0.8", false, 0, 0.8},
    {"  0.8  ", false, 0, 0.8},
    {"-0.5e1x", false, 0, -5},
    {"12abc", true, 12, 12},
    {"3.9", true, 3, 3.9},
    {".5", false, 0, 0.5},
    {"1e", true, 1, 1},
    {"1e+2", true, 1, 100},
    {"abc", false, 0, 0},
    {"- 5", false, 0, 0},
    {"99999999999", true, 2147483647, 99999999999.0},
    {"-99999999999", true, -2147483647 - 1, -99999999999.0},
    {"1e-400", true, 1, 0},
};

TEST(NumberValues, StringsReadTheirLongestNumericPrefix) {
    for (const auto& c : kStringCases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(boolValue(std::string_view(c.text)), c.asBool);
        EXPECT_EQ(intValue(std::string_view(c.text)), c.asInt);
        EXPECT_DOUBLE_EQ(doubleValue(std::string_view(c.text)), c.asDouble);
    }
}

TEST(NumberValues, StringOverflowReadsAsInfinity) {
    EXPECT_EQ(doubleValue(std::string_view("1e400")), std::numeric_limits<double>::infinity());
    EXPECT_EQ(doubleValue(std::string_view("-1e400")), -std::numeric_limits<double>::infinity());
}

TEST(NumberValues, NumbersConvertAsTheyWouldInC) {
    EXPECT_EQ(boolValue(PlistValue(0.25)), true);
    EXPECT_EQ(boolValue(PlistValue(0)), false);
    EXPECT_EQ(intValue(PlistValue(3.99)), 3);
    EXPECT_EQ(intValue(PlistValue(-3.99)), -3);
    EXPECT_EQ(intValue(PlistValue(1e20)), 2147483647);
    EXPECT_EQ(intValue(PlistValue(std::int64_t{0x100000005})), 5);
    EXPECT_EQ(intValue(PlistValue(true)), 1);
    EXPECT_EQ(doubleValue(PlistValue(std::int64_t{4})), 4.0);
    EXPECT_EQ(doubleValue(PlistValue("0.8")), 0.8);
}

TEST(NumberValues, KindsThatAreNotNumbersAnswerNothing) {
    const PlistValue notNumbers[] = {
        PlistValue(PlistArray{PlistValue(1)}),
        PlistValue(PlistDictionary{{"a", PlistValue(1)}}),
        PlistValue(PlistData{{1, 2}}),
        PlistValue(PlistDate{5}),
        PlistValue(std::numeric_limits<double>::quiet_NaN()),
        PlistValue(std::numeric_limits<double>::infinity()),
    };
    for (const auto& value : notNumbers) {
        EXPECT_FALSE(boolValue(value));
        EXPECT_FALSE(intValue(value));
        EXPECT_FALSE(doubleValue(value));
    }
    EXPECT_FALSE(doubleValue(PlistValue("1e999")));
}

}  // namespace
