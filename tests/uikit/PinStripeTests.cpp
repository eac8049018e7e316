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

TEST(UIPinStripes, AnImageOfAnySizeIsCoveredWithTheTileFromItsCorner) {
    const UIImageRef image = UIPinStripeImage({30, 5});
    ASSERT_TRUE(image);
    EXPECT_EQ(image->size(), (CGSize{30, 5}));
    for (size_t x = 0; x < 30; ++x) {
        EXPECT_EQ(at(image, x, 2), x % 7 < 4 ? kBand : kStripe) << x;
    }
    EXPECT_FALSE(UIPinStripeImage({0, 10}));
}

}  // namespace
