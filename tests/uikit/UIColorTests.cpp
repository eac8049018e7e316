// The platform colour class and the Core Graphics colour under it.

#include <gtest/gtest.h>

#include "../colour/ColourTestSupport.h"
#include "platform/uikit/UIColor.h"

namespace {

using colour_test::IsColor;

TEST(UIColor, ConstructorsMakeColoursOfTheirModelStoringFloatsUnchanged) {
    const struct {
        UIColorRef color;
        int32_t model;
        std::vector<float> components;
    } cases[] = {
        {UIColor::colorWithRed(0.1, 0.2, 0.3, 0.4), kCGColorSpaceModelRGB, {.1f, .2f, .3f, .4f}},
        {UIColor::colorWithRed(2, -1, 0.5, 7), kCGColorSpaceModelRGB, {2, -1, 0.5f, 7}},
        {UIColor::colorWithWhite(0.25, 0.5), kCGColorSpaceModelMonochrome, {0.25f, 0.5f}},
        {UIColor::clearColor(), kCGColorSpaceModelMonochrome, {0, 0}},
        {UIColor::blackColor(), kCGColorSpaceModelMonochrome, {0, 1}},
        {UIColor::whiteColor(), kCGColorSpaceModelMonochrome, {1, 1}},
        {UIColor::pinStripeColor(), kCGColorSpaceModelPattern, {1}},
    };
    for (const auto& c : cases) {
        EXPECT_THAT(c.color, IsColor(c.model, c.components));
        EXPECT_EQ(CGColorGetAlpha(c.color->CGColor()), c.components.back());
    }
}

}  // namespace
