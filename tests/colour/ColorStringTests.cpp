// The colour string, the hexadecimal forms and the random colour.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "ColourTestSupport.h"
#include "colour/UIColor_Expanded.h"

namespace {

using namespace UIColor_Expanded;
using colour_test::IsColor;
using colour_test::storedComponents;

constexpr float kInfinity = std::numeric_limits<float>::infinity();

TEST(ColorString, WritesThreeDecimalsPerComponentLikePrintf) {
    const struct {
        UIColorRef color;
        const char* text;
    } cases[] = {
        {UIColor::colorWithRed(1, 0, 0, 1), "{1.000, 0.000, 0.000, 1.000}"},
        {UIColor::colorWithWhite(0.5, 1), "{0.500, 1.000}"},
        {UIColor::colorWithRed(0.85, 0.85, 0.85, 0.85), "{0.850, 0.850, 0.850, 0.850}"},
        {UIColor::colorWithRed(-0.25, 2, 0.0004, 0.0006), "{-0.250, 2.000, 0.000, 0.001}"},
        // An exact binary tie rounds to even; a tiny negative keeps its sign.
        {UIColor::colorWithWhite(0.0625, -0.0001), "{0.062, -0.000}"},
    };
    for (const auto& c : cases) EXPECT_EQ(stringFromColor(c.color), c.text);
}

TEST(ColorString, ReadsTwoOrFourNumbersWithWhiteSpaceBeforeAnyToken) {
    const std::vector<float> red = {1, 0, 0, 1};
    const struct {
        std::string text;
        int32_t model;
        std::vector<float> components;
    } cases[] = {
        {"{1.000, 0.000, 0.000, 1.000}", kCGColorSpaceModelRGB, red},
        {"{1,0,0,1}", kCGColorSpaceModelRGB, red},
        {" \t\n{ 1 ,\r0 ,\v0 ,\f1 } \n", kCGColorSpaceModelRGB, red},
        {"{0.5, 1}", kCGColorSpaceModelMonochrome, {0.5f, 1}},
        {"{2, -1, 0.5, 1}", kCGColorSpaceModelRGB, {2, -1, 0.5f, 1}},
        {"{+1, -0, .5, 5.}", kCGColorSpaceModelRGB, {1, 0, 0.5f, 5}},
        {"{1e-1, 2.5E+1, 25e-2, 1}", kCGColorSpaceModelRGB, {0.1f, 25, 0.25f, 1}},
        {"{1e39, -1e39}", kCGColorSpaceModelMonochrome, {kInfinity, -kInfinity}},
        // Out of the float range: zero below it, infinity above it, told by the literal's
        // magnitude whatever its exponent says alone.
        {"{1e-50, 100000000000000000000e-70, 1" + std::string(50, '0') + "e-2, -0." +
             std::string(51, '0') + "1e100}",
         kCGColorSpaceModelRGB,
         {0, 0, kInfinity, -kInfinity}},
    };
    for (const auto& c : cases) {
        EXPECT_THAT(colorWithString(c.text), IsColor(c.model, c.components)) << c.text;
    }
}

TEST(ColorString, RejectsEveryOtherText) {
    // clang-format off
    const char* cases[] = {
        "{1, 0, 0}",      "{1}",            "{1, 0, 0, 1, 1}", "{1, 0, 0, 1",    "1, 0, 0, 1}",
        "{1; 0; 0; 1}",   "{1, 0, 0, 1}x",  "",               "  ",             "{}",
        "{,1}",           "{1,,1}",         "{1 1}",          "{- 1, 1}",       "{1e, 1}",
        "{., 1}",         "{nan, 1}",       "{inf, 1}",       "{0x1, 1}",       "{1, 1}}",
    };
    // clang-format on
    for (const char* text : cases) EXPECT_EQ(colorWithString(text), nullptr) << '"' << text << '"';
}

TEST(ColorString, ReadingWhatWasWrittenWritesTheSameAgain) {
    const UIColorRef colors[] = {
        UIColor::colorWithRed(0.1234, 0.5678, 0.9999, 0.0005),
        UIColor::colorWithWhite(0.333, 0.667),
        UIColor::colorWithRed(-3.5, 12, 0, 1),
    };
    for (const UIColorRef& color : colors) {
        std::optional<std::string> text = stringFromColor(color);
        ASSERT_TRUE(text);
        UIColorRef read = colorWithString(*text);
        ASSERT_TRUE(read) << *text;
        EXPECT_EQ(stringFromColor(read), text);
        EXPECT_THAT(storedComponents(read),
                    testing::Pointwise(testing::FloatNear(0.0005f), storedComponents(color)));
    }
}

TEST(ColorHex, ReadsTheLeadingHexadecimalNumber) {
    const struct {
        const char* text;
        std::optional<uint32_t> hex;
    } cases[] = {
        {"ff0000", 0xFF0000},
        {"0XFF0000", 0xFF0000},
        {"ff0000 and other words", 0xFF0000},
        {" \t\n0x00Ff00", 0x00FF00},
        {"12z", 0x000012},
        {"0x", 0},  // the "0" is the number, "x" what follows it
        {"0xg", 0},
        {"fffffffff", 0xFFFFFF},  // saturates at UINT32_MAX, whose low 24 bits are white
        {"#ff0000", std::nullopt},
        {"", std::nullopt},
        {"xyz", std::nullopt},
        {"-1", std::nullopt},
    };
    for (const auto& c : cases) {
        UIColorRef color = colorWithHexString(c.text);
        EXPECT_EQ(color ? std::optional(rgbHex(color)) : std::nullopt, c.hex) << c.text;
    }
}

TEST(ColorHex, TakesTheLow24BitsAsOpaqueRGBAndWritesSixUpperCaseDigits) {
    const float half = 128.0f / 255.0f;
    const std::vector<float> grey = {half, half, half, 1};
    EXPECT_THAT(colorWithRGBHex(0x808080), IsColor(kCGColorSpaceModelRGB, grey));
    EXPECT_THAT(colorWithRGBHex(0xAB808080), IsColor(kCGColorSpaceModelRGB, grey));
    EXPECT_EQ(hexStringFromColor(UIColor::colorWithRed(1, 0, 0, 1)), "FF0000");
    EXPECT_EQ(hexStringFromColor(UIColor::colorWithWhite(0.5, 1)), "808080");
    EXPECT_EQ(hexStringFromColor(colorWithRGBHex(0x0A0B0C)), "0A0B0C");
}

TEST(RandomColor, IsOpaqueRGBWithComponentsInTheUnitInterval) {
    for (int i = 0; i < 1000; ++i) {
        UIColorRef color = randomColor();
        ASSERT_EQ(colorSpaceModel(color), kCGColorSpaceModelRGB);
        EXPECT_EQ(alpha(color), 1.0f);
        for (float component : {red(color), green(color), blue(color)}) {
            EXPECT_TRUE(component >= 0.0f && component < 1.0f) << component;
        }
    }
    // A draw is scaled by 2^31; the largest draws would round up to 1 in single precision.
    EXPECT_EQ(TestApi::randomComponent(1L << 30), 0.5f);
    EXPECT_LT(TestApi::randomComponent(2147483647L), 1.0f);
}

}  // namespace
