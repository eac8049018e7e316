#include "platform/uikit/UIPinStripes.h"
#include "platform/uikit/UIScreen.h"

#include <gtest/gtest.h>

namespace {

const CGImagePixel kBand{0xC5, 0xCC, 0xD4, 255}, kStripe{0xCB, 0xD2, 0xD8, 255};

CGImagePixel at(const UIImageRef& image, size_t x, size_t y) {
    return CGImageGetPixelForTesting(image->CGImage(), x, y);
}

TEST(UIPinStripes, TheTileIsABandAndALighterStripeRepeatingEverySevenPoints) {
    for (CGFloat scale : {1.0f, 2.0f}) {
        UIScreen::mainScreen()->setScale(scale);
        const UIImageRef tile = UIPinStripePatternImage();
        ASSERT_TRUE(tile);
        EXPECT_EQ(tile->size(), (CGSize{7, 7}));
        EXPECT_EQ(tile->scale(), scale);
        for (size_t y : {size_t(0), size_t(6 * scale)}) {
            EXPECT_EQ(at(tile, 0, y), kBand) << scale;
            EXPECT_EQ(at(tile, size_t(3.5 * scale), y), kBand) << scale;
            EXPECT_EQ(at(tile, size_t(4 * scale), y), kStripe) << scale;
            EXPECT_EQ(at(tile, size_t(7 * scale) - 1, y), kStripe) << scale;
        }
    }
    UIScreen::mainScreen()->setScale(1);
}

}  // namespace
