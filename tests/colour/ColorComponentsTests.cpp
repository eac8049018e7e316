// Reading a colour's model and components, and its packed RGB value.

#include <gtest/gtest.h>

#include <limits>

#include "ColourTestSupport.h"
#include "colour/UIColor_Expanded.h"

namespace {

using namespace UIColor_Expanded;

TEST(ColorSpaceModel, NamesEachPlatformModelAndOnlyMonochromeAndRGBProvideRGB) {
    const char* names[] = {"kCGColorSpaceModelUnknown", "kCGColorSpaceModelMonochrome",
                           "kCGColorSpaceModelRGB",     "kCGColorSpaceModelCMYK",
                           "kCGColorSpaceModelLab",     "kCGColorSpaceModelDeviceN",
                           "kCGColorSpaceModelIndexed", "kCGColorSpaceModelPattern"};
    for (int32_t model = -2; model <= 7; ++model) {
        UIColorRef color = UIColor::colorWithModelForTesting(model);
        bool platformModel = model >= -1 && model <= 6;
        EXPECT_EQ(colorSpaceModel(color), model);
        EXPECT_EQ(colorSpaceString(color),
                  platformModel ? names[model + 1] : "Not a valid color space");
        EXPECT_EQ(canProvideRGBComponents(color), model == 0 || model == 1) << model;
    }
}

TEST(ColorComponents, RGBReadsInPlaceAndMonochromeAsAGreyOfItsWhite) {
    const struct {
        UIColorRef color;
        RGBAComponents rgba;
    } cases[] = {
        {UIColor::colorWithRed(0.1, 0.2, 0.3, 0.4), {0.1f, 0.2f, 0.3f, 0.4f}},
        {UIColor::colorWithWhite(0.25, 0.5), {0.25f, 0.25f, 0.25f, 0.5f}},
    };
    for (const auto& [color, rgba] : cases) {
        EXPECT_EQ((RGBAComponents{red(color), green(color), blue(color), alpha(color)}), rgba);
        EXPECT_EQ(arrayFromRGBAComponents(color), rgba);
        RGBAComponents read{};
        EXPECT_TRUE(red(color, &read[0], &read[1], &read[2], &read[3]));
        EXPECT_EQ(read, rgba);
    }
    EXPECT_FLOAT_EQ(white(UIColor::colorWithWhite(0.25, 0.5)), 0.25f);
    EXPECT_EQ(rgbHex(UIColor::colorWithWhite(0.25, 0.5)), 0x404040u);
}

TEST(ColorComponents, ReadingSkipsNullPointersAndWritesNothingForOtherModels) {
    float green = 0;
    EXPECT_TRUE(red(UIColor::colorWithRed(0.1, 0.2, 0.3, 0.4), nullptr, &green, nullptr, nullptr));
    EXPECT_FLOAT_EQ(green, 0.2f);
    RGBAComponents untouched{7, 7, 7, 7};
    EXPECT_FALSE(
        red(UIColor::pinStripeColor(), &untouched[0], &untouched[1], &untouched[2], &untouched[3]));
    EXPECT_EQ(untouched, (RGBAComponents{7, 7, 7, 7}));
    EXPECT_EQ(alpha(UIColor::pinStripeColor()), 1.0f);
}

TEST(ColorRgbHex, ClampsRoundsHalvesUpAndIgnoresAlpha) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const struct {
        RGBAComponents rgba;
        uint32_t hex;
    } cases[] = {
        {{1.2f, 0.5f, -0.1f, 1}, 0xFF8000},  // 127.5 rounds away from zero
        {{0, 0, 0, 0}, 0x000000},           {{1, 1, 1, 0}, 0xFFFFFF},
        {{0.1f, 0.2f, 0.3f, 1}, 0x1A334D},  {{nan, 0.5f, 1, 1}, 0x0080FF},
    };
    for (const auto& [rgba, hex] : cases) {
        EXPECT_EQ(rgbHex(UIColor::colorWithRed(rgba[0], rgba[1], rgba[2], rgba[3])), hex);
    }
}

TEST(NilReceiver, AnswersZeroAndAssertsNothing) {
    // The default handler is installed, so an assertion here would throw.
    const UIColorRef nil;
    EXPECT_EQ(colorSpaceModel(nil), 0);
    EXPECT_FALSE(canProvideRGBComponents(nil));
    EXPECT_FALSE(red(nil, nullptr, nullptr, nullptr, nullptr));
    EXPECT_EQ(red(nil) + white(nil) + alpha(nil) + rgbHex(nil), 0.0f);
    EXPECT_EQ(arrayFromRGBAComponents(nil), std::nullopt);
    EXPECT_EQ(colorByAddingColor(nil, UIColor::blackColor()), nullptr);
    EXPECT_EQ(stringFromColor(nil), std::nullopt);
    EXPECT_EQ(hexStringFromColor(nil), "");
}

}  // namespace
