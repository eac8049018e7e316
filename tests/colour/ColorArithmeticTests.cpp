// Luminance and the component-wise arithmetic family.

#include <gtest/gtest.h>

#include "ColourTestSupport.h"
#include "colour/UIColor_Expanded.h"

namespace {

using namespace UIColor_Expanded;
using colour_test::IsColor;

UIColorRef rgba(float r, float g, float b, float a) {
    return UIColor::colorWithRed(r, g, b, a);
}

TEST(ColorArithmetic, EachMemberCombinesComponentsAsItsOperationSays) {
    const UIColorRef mixed = rgba(0.8f, 0.4f, 0.2f, 0.6f), half = rgba(0.5f, 0.5f, 0.5f, 0.6f);
    const struct {
        const char* name;
        UIColorRef result;
        std::vector<float> expected;
    } cases[] = {
        {"multiply clamps", colorByMultiplyingByRed(mixed, 2, 2, 4, 0.5f), {1, 0.8f, 0.8f, 0.3f}},
        {"add clamps below 0", colorByAddingRed(half, -1, 0.1f, 0, -0.5f), {0, 0.6f, 0.5f, 0.1f}},
        {"lighten keeps 2", colorByLighteningToRed(half, 2, 0, 0, 0), {2, 0.5f, 0.5f, 0.6f}},
        {"darken keeps -1", colorByDarkeningToRed(half, -1, 2, 1, 0.3f), {-1, 0.5f, 0.5f, 0.3f}},
        {"multiply by value", colorByMultiplyingBy(mixed, 0.5f), {0.4f, 0.2f, 0.1f, 0.6f}},
        {"add value", colorByAdding(mixed, 0.3f), {1, 0.7f, 0.5f, 0.6f}},
        {"lighten to value", colorByLighteningTo(mixed, 0.5f), {0.8f, 0.5f, 0.5f, 0.6f}},
        {"darken to value", colorByDarkeningTo(mixed, 0.5f), {0.5f, 0.4f, 0.2f, 0.6f}},
        {"multiply by grey",
         colorByMultiplyingByColor(mixed, UIColor::colorWithWhite(0.5, 0.1)),
         {0.4f, 0.2f, 0.1f, 0.6f}},
        {"add colour, not its alpha",
         colorByAddingColor(half, rgba(0.1f, 0.2f, 0.3f, 0.9f)),
         {0.6f, 0.7f, 0.8f, 0.6f}},
        {"lighten to colour",
         colorByLighteningToColor(half, rgba(0.9f, 0.1f, 0.5f, 0)),
         {0.9f, 0.5f, 0.5f, 0.6f}},
        {"darken to colour",
         colorByDarkeningToColor(half, rgba(0.9f, 0.1f, 0.5f, 0)),
         {0.5f, 0.1f, 0.5f, 0.6f}},
        {"grey receiver",
         colorByMultiplyingByRed(UIColor::colorWithWhite(0.5, 0.8), 1, .5f, 2, 1),
         {0.5f, 0.25f, 1, 0.8f}},
    };
    for (const auto& c : cases) {
        EXPECT_THAT(c.result, IsColor(kCGColorSpaceModelRGB, c.expected)) << c.name;
    }
}

TEST(ColorArithmetic, ColourFormsAnswerNilForAnArgumentWithoutRGB) {
    UIColorRef color = rgba(0.5f, 0.5f, 0.5f, 1);
    EXPECT_EQ(colorByMultiplyingByColor(color, UIColor::pinStripeColor()), nullptr);
    EXPECT_EQ(colorByAddingColor(color, nullptr), nullptr);
}

TEST(ColorLuminance, MapsToAnUnclampedGreyOfBT709LumaKeepingAlpha) {
    EXPECT_THAT(colorByLuminanceMapping(rgba(0, 1, 0, 1)),
                IsColor(kCGColorSpaceModelMonochrome, std::vector<float>{0.7152f, 1}));
    EXPECT_THAT(colorByLuminanceMapping(rgba(2, 2, 2, 1)),
                IsColor(kCGColorSpaceModelMonochrome, std::vector<float>{2, 1}));
}

}  // namespace
