#include "tweak/views/ColorizeImage.h"

#include "platform/uikit/UIGraphics.h"
#include "tests/graphics/GraphicsTestSupport.h"

#include <gtest/gtest.h>

namespace {

using namespace graphics_test;

UIImageRef uiImageOf(const std::vector<std::string>& rows, CGFloat scale = 1) {
    return UIImage::imageWithCGImage(imageOf(rows), scale, UIImageOrientationUp);
}

CGImagePixel pixel(const UIImageRef& image, size_t x, size_t y) {
    return CGImageGetPixelForTesting(image->CGImage(), x, y);
}

// Every pixel of `image`, row by row from the top.
std::vector<CGImagePixel> pixelsOf(const UIImageRef& image) {
    std::vector<CGImagePixel> pixels;
    for (size_t y = 0; y < CGImageGetHeight(image->CGImage()); ++y) {
        for (size_t x = 0; x < CGImageGetWidth(image->CGImage()); ++x) {
            pixels.push_back(pixel(image, x, y));
        }
    }
    return pixels;
}

TEST(ImageWithOverlayColor, PaintsTheSilhouetteKeepingAlphaAndScale) {
    // A 2× badge: half-transparent white, with transparent corners.
    const UIImageRef badge = uiImageOf({".hh.", "hhhh", "hhhh", ".hh."}, 2);
    const UIImageRef red =
        colorizeImage::imageWithOverlayColor(badge, UIColor::colorWithRed(1, 0, 0, 1));
    ASSERT_TRUE(red);
    EXPECT_EQ(red->scale(), 2);
    EXPECT_EQ(red->size(), (CGSize{2, 2}));
    EXPECT_TRUE(near(pixel(red, 1, 1), {255, 0, 0, 128}, 2));
    EXPECT_TRUE(near(pixel(red, 2, 0), {255, 0, 0, 128}, 2));
    EXPECT_EQ(pixel(red, 0, 0), kClear);
    EXPECT_EQ(pixel(red, 3, 3), kClear);
}

TEST(ColorizeImageWithColor, WhiteKeepsTheImageAndBlackSilhouettesItUpright) {
    // Red on top, blue below, a transparent column: any flip or smear shows.
    const UIImageRef image = uiImageOf({"rr.", "rr.", "bb.", "bb."});
    const UIImageRef kept = colorizeImageWithColor(image, UIColor::whiteColor());
    ASSERT_TRUE(kept);
    EXPECT_EQ(pixelsOf(kept), pixelsOf(image));

    const UIImageRef silhouette = colorizeImageWithColor(image, UIColor::blackColor());
    ASSERT_TRUE(silhouette);
    for (size_t y = 0; y < 4; ++y) {
        EXPECT_EQ(pixel(silhouette, 0, y), kBlack) << y;
        EXPECT_EQ(pixel(silhouette, 2, y), kClear) << y;
    }
}

TEST(ColorizeImageWithColor, TintsLightPartsKeepsDarkPartsAndRendersOnePixelPerPoint) {
    const UIImageRef image = uiImageOf({"wwkk", "wwkk", "....", "...."}, 2);
    const UIImageRef tinted = colorizeImageWithColor(image, UIColor::colorWithRed(1, 0, 0, 1));
    ASSERT_TRUE(tinted);
    EXPECT_EQ(tinted->scale(), 1);
    EXPECT_EQ(CGImageGetWidth(tinted->CGImage()), 2u);
    EXPECT_EQ(CGImageGetHeight(tinted->CGImage()), 2u);
    // At one pixel per point the top point row holds white (left) and black (right).
    EXPECT_TRUE(near(pixel(tinted, 0, 0), kRed, 2));
    EXPECT_TRUE(near(pixel(tinted, 1, 0), kBlack, 2));
    EXPECT_EQ(pixel(tinted, 0, 1), kClear);
}

TEST(ImageWithColorAndSize, FillsEveryPixelAtOnePixelPerPoint) {
    const UIImageRef grey = imageWithColorAndSize(UIColor::darkGrayColor(), {320, 480});
    ASSERT_TRUE(grey);
    EXPECT_EQ(grey->size(), (CGSize{320, 480}));
    EXPECT_EQ(grey->scale(), 1);
    const CGImagePixel darkGrey{85, 85, 85, 255};
    const auto pixels = pixelsOf(grey);
    EXPECT_EQ(pixels.size(), 320u * 480u);
    EXPECT_TRUE(
        std::all_of(pixels.begin(), pixels.end(), [&](CGImagePixel p) { return p == darkGrey; }));
}

TEST(ImageTinting, NoImageOrNoAreaGivesNoImageAndLeavesNoContextOpen) {
    const UIColorRef red = UIColor::colorWithRed(1, 0, 0, 1);
    EXPECT_FALSE(colorizeImage::imageWithOverlayColor(nullptr, red));
    EXPECT_FALSE(colorizeImageWithColor(nullptr, red));
    EXPECT_FALSE(imageWithColorAndSize(red, {0, 0}));
    EXPECT_FALSE(imageWithColorAndSize(red, {320, 0}));
    EXPECT_FALSE(imageWithColorAndSize(red, {0, 480}));
    EXPECT_FALSE(UIGraphicsGetCurrentContext());
}

}  // namespace
