// Bitmap contexts: their y-up space, the CTM and state stack, image placement, clipping to a
// mask, paths and text.

#include <gtest/gtest.h>

#include <algorithm>

#include "platform/graphics/CGContext.h"
#include "tests/graphics/GraphicsTestSupport.h"

namespace {

using namespace graphics_test;

// A context whose user space has been flipped to grow downward, as UIKit's are.
CGContextRef flippedContext(size_t width, size_t height) {
    const CGContextRef ctx = CGBitmapContextCreate(width, height);
    CGContextTranslateCTM(ctx, 0, height);
    CGContextScaleCTM(ctx, 1, -1);
    return ctx;
}

TEST(CGBitmapContext, StartsTransparentInAYUpSpace) {
    const CGContextRef ctx = CGBitmapContextCreate(3, 2);
    ASSERT_TRUE(ctx);
    EXPECT_EQ(CGBitmapContextGetWidth(ctx), 3u);
    EXPECT_EQ(CGBitmapContextGetHeight(ctx), 2u);
    EXPECT_EQ(CGContextGetCTM(ctx), CGAffineTransformIdentity);
    EXPECT_EQ(pixelAt(ctx, 0, 0), kClear);
    CGContextFillRect(ctx, CGRectMake(0, 0, 3, 1));  // the default fill colour is black
    EXPECT_EQ(pixelAt(ctx, 0, 1), kBlack);           // y = 0 is the bottom row
    EXPECT_EQ(pixelAt(ctx, 0, 0), kClear);
}

TEST(CGBitmapContext, ZeroSizesAndNullContextsGiveNothing) {
    EXPECT_FALSE(CGBitmapContextCreate(0, 5));
    EXPECT_FALSE(CGBitmapContextCreate(5, 0));
    EXPECT_FALSE(CGBitmapContextCreateImage(nullptr));
    EXPECT_EQ(CGContextGetCTM(nullptr), CGAffineTransformIdentity);
    CGContextFillRect(nullptr, CGRectMake(0, 0, 1, 1));
    CGContextDrawImage(nullptr, CGRectMake(0, 0, 1, 1), imageOf({"r"}));
    CGContextRestoreGState(CGBitmapContextCreate(1, 1));  // nothing saved: ignored
}

TEST(CGContextCTM, StepsApplyInUserSpaceFirstAndMoveWhereFillsLand) {
    const CGContextRef ctx = CGBitmapContextCreate(8, 8);
    CGContextTranslateCTM(ctx, 4, 2);
    CGContextScaleCTM(ctx, 2, 2);
    CGContextConcatCTM(ctx, CGAffineTransformMakeTranslation(1, 0));
    EXPECT_EQ(CGContextGetCTM(ctx), CGAffineTransformMake(2, 0, 0, 2, 6, 2));
    CGContextFillRect(ctx, CGRectMake(0, 0, 1, 1));  // pixels x 6..7, y-up 2..3: rows 4..5
    EXPECT_EQ(pixelAt(ctx, 6, 4), kBlack);
    EXPECT_EQ(pixelAt(ctx, 7, 5), kBlack);
    EXPECT_EQ(pixelAt(ctx, 5, 4), kClear);
    EXPECT_EQ(pixelAt(ctx, 6, 3), kClear);
    CGContextRotateCTM(ctx, 0.5f);
    const CGAffineTransform rotated = CGContextGetCTM(ctx);
    EXPECT_NEAR(rotated.b, 2 * std::sin(0.5f), 1e-5);
}

TEST(CGContextGState, RestoreBringsBackCTMColoursModeAlphaAndClip) {
    const CGContextRef ctx = CGBitmapContextCreate(4, 1);
    CGContextSaveGState(ctx);
    CGContextTranslateCTM(ctx, 1, 0);
    CGContextSetFillColorWithColor(ctx, rgba(1, 0, 0, 1));
    CGContextSetBlendMode(ctx, kCGBlendModeClear);
    CGContextSetAlpha(ctx, 0.5f);
    CGContextClipToRect(ctx, CGRectMake(0, 0, 1, 1));
    CGContextRestoreGState(ctx);
    EXPECT_EQ(CGContextGetCTM(ctx), CGAffineTransformIdentity);
    CGContextFillRect(ctx, CGRectMake(0, 0, 4, 1));
    for (size_t x = 0; x < 4; ++x) EXPECT_EQ(pixelAt(ctx, x, 0), kBlack) << x;
}

TEST(CGContextDrawImage, PutsTheFirstRowAtTheTopOfTheRectInUserSpace) {
    const CGImageRef image = imageOf({"rr", "bb"});
    const struct {
        const char* name;
        CGContextRef ctx;
        CGImagePixel topRow;
    } cases[] = {
        {"y-up context: upright", CGBitmapContextCreate(2, 2), kRed},
        {"flipped context: upside down", flippedContext(2, 2), kBlue},
    };
    for (const auto& c : cases) {
        CGContextDrawImage(c.ctx, CGRectMake(0, 0, 2, 2), image);
        EXPECT_EQ(pixelAt(c.ctx, 0, 0), c.topRow) << c.name;
        EXPECT_NE(pixelAt(c.ctx, 0, 1), c.topRow) << c.name;
    }
    // A caller that flips back (translate by the height, scale y by -1) sees it upright again.
    const CGContextRef ctx = flippedContext(2, 2);
    CGContextTranslateCTM(ctx, 0, 2);
    CGContextScaleCTM(ctx, 1, -1);
    CGContextDrawImage(ctx, CGRectMake(0, 0, 2, 2), image);
    EXPECT_EQ(pixelAt(ctx, 0, 0), kRed);
}

TEST(CGContextDrawImage, ScalesIntoTheRectAndLeavesTheRestAlone) {
    const CGContextRef ctx = CGBitmapContextCreate(6, 4);
    CGContextDrawImage(ctx, CGRectMake(2, 0, 4, 2), imageOf({"rb", "wk"}));
    EXPECT_EQ(pixelAt(ctx, 2, 2), kRed);  // rect y 0..2 is the bottom two rows
    EXPECT_EQ(pixelAt(ctx, 5, 2), kBlue);
    EXPECT_EQ(pixelAt(ctx, 2, 3), kWhite);
    EXPECT_EQ(pixelAt(ctx, 5, 3), kBlack);
    EXPECT_EQ(pixelAt(ctx, 1, 3), kClear);
    EXPECT_EQ(pixelAt(ctx, 2, 1), kClear);
}

TEST(CGContextDrawImage, WholePixelOffsetsCopyExactlyAndFractionalOnesResample) {
    const CGImageRef image = imageOf({"rbh"});
    const CGContextRef whole = CGBitmapContextCreate(5, 1);
    CGContextSetBlendMode(whole, kCGBlendModeCopy);
    CGContextDrawImage(whole, CGRectMake(1, 0, 3, 1), image);
    for (size_t x = 0; x < 3; ++x) {
        EXPECT_EQ(pixelAt(whole, x + 1, 0), CGImageGetPixelForTesting(image, x, 0)) << x;
    }
    const CGContextRef fractional = CGBitmapContextCreate(5, 1);
    CGContextDrawImage(fractional, CGRectMake(1.5f, 0, 3, 1), image);
    const CGImagePixel between = pixelAt(fractional, 2, 0);  // half red, half blue
    EXPECT_TRUE(near(between, {128, 0, 128, 255}, 2)) << testing::PrintToString(between);
}

TEST(CGContextClipToMask, LimitsLaterDrawingToTheMaskSilhouette) {
    // The mask is placed as an image would be: its first row at the top of the rect.
    const CGImageRef mask = imageOf({"r.", "rh"});
    const CGContextRef ctx = CGBitmapContextCreate(3, 2);
    CGContextSetFillColorWithColor(ctx, rgba(0, 0, 1, 1));
    CGContextClipToMask(ctx, CGRectMake(0, 0, 2, 2), mask);
    CGContextFillRect(ctx, CGRectMake(0, 0, 3, 2));
    EXPECT_EQ(pixelAt(ctx, 0, 0), kBlue);
    EXPECT_EQ(pixelAt(ctx, 1, 0), kClear);
    EXPECT_EQ(pixelAt(ctx, 0, 1), kBlue);
    EXPECT_TRUE(near(pixelAt(ctx, 1, 1), {0, 0, 255, 128}));
    EXPECT_EQ(pixelAt(ctx, 2, 0), kClear);  // outside the mask's rect
}

TEST(CGContextClipToMask, ModesThatReplaceTheBitmapStillStopAtTheMask) {
    for (const CGBlendMode mode :
         {kCGBlendModeSourceIn, kCGBlendModeCopy, kCGBlendModeClear, kCGBlendModeDestinationIn}) {
        const CGContextRef ctx = CGBitmapContextCreate(2, 1);
        CGContextSetFillColorWithColor(ctx, rgba(1, 1, 1, 1));
        CGContextFillRect(ctx, CGRectMake(0, 0, 2, 1));
        CGContextClipToMask(ctx, CGRectMake(0, 0, 2, 1), imageOf({"r."}));
        CGContextSetBlendMode(ctx, mode);
        CGContextSetFillColorWithColor(ctx, rgba(0, 0, 0, 0.5f));
        CGContextFillRect(ctx, CGRectMake(0, 0, 2, 1));
        EXPECT_EQ(pixelAt(ctx, 1, 0), kWhite) << "mode " << mode;
        EXPECT_NE(pixelAt(ctx, 0, 0), kWhite) << "mode " << mode;
    }
}

TEST(CGContextClipToMask, IsPartOfTheSavedStateAndIntersectsAnEarlierMask) {
    const CGContextRef ctx = CGBitmapContextCreate(3, 1);
    CGContextSaveGState(ctx);
    CGContextClipToMask(ctx, CGRectMake(0, 0, 3, 1), imageOf({"rr."}));
    CGContextClipToMask(ctx, CGRectMake(0, 0, 3, 1), imageOf({".rr"}));
    CGContextFillRect(ctx, CGRectMake(0, 0, 3, 1));
    EXPECT_EQ(pixelAt(ctx, 0, 0), kClear);
    EXPECT_EQ(pixelAt(ctx, 1, 0), kBlack);
    EXPECT_EQ(pixelAt(ctx, 2, 0), kClear);
    CGContextRestoreGState(ctx);
    CGContextFillRect(ctx, CGRectMake(0, 0, 3, 1));
    EXPECT_EQ(pixelAt(ctx, 0, 0), kBlack);
}

TEST(CGContextPath, FillsStrokesAndKeepsThePathAcrossFillRect) {
    const CGContextRef ctx = CGBitmapContextCreate(10, 10);
    CGContextSetStrokeColorWithColor(ctx, rgba(1, 0, 0, 1));
    CGContextSetLineWidth(ctx, 2);
    CGContextAddRect(ctx, CGRectMake(2, 2, 6, 6));
    CGContextFillRect(ctx, CGRectMake(0, 0, 1, 1));  // does not disturb the path being built
    CGContextDrawPath(ctx, kCGPathStroke);
    EXPECT_EQ(pixelAt(ctx, 0, 9), kBlack);
    EXPECT_EQ(pixelAt(ctx, 2, 5), kRed);  // the left edge, x 1..3
    EXPECT_EQ(pixelAt(ctx, 5, 2), kRed);  // the top edge
    EXPECT_EQ(pixelAt(ctx, 5, 5), kClear);
    CGContextDrawPath(ctx, kCGPathFill);  // the path was used up
    EXPECT_EQ(pixelAt(ctx, 5, 5), kClear);

    const CGMutablePathRef triangle = CGPathCreateMutable();
    CGPathMoveToPoint(triangle, nullptr, 0, 0);
    CGPathAddLineToPoint(triangle, nullptr, 10, 0);
    CGPathAddLineToPoint(triangle, nullptr, 0, 10);
    CGPathCloseSubpath(triangle);
    const CGContextRef tri = CGBitmapContextCreate(10, 10);
    CGContextAddPath(tri, triangle);
    CGContextDrawPath(tri, kCGPathFillStroke);
    EXPECT_EQ(pixelAt(tri, 1, 8), kBlack);  // near the y-up origin, the bottom-left
    EXPECT_EQ(pixelAt(tri, 8, 1), kClear);
}

// The bounds of the pixels darker than mid-grey, or an empty rect when there are none.
CGRect inkBounds(const CGContextRef& ctx) {
    const CGImageRef image = CGBitmapContextCreateImage(ctx);
    size_t minX = SIZE_MAX, minY = SIZE_MAX, maxX = 0, maxY = 0;
    for (size_t y = 0; y < CGImageGetHeight(image); ++y) {
        for (size_t x = 0; x < CGImageGetWidth(image); ++x) {
            if (CGImageGetPixelForTesting(image, x, y).a < 128) continue;
            minX = std::min(minX, x), maxX = std::max(maxX, x);
            minY = std::min(minY, y), maxY = std::max(maxY, y);
        }
    }
    if (minX == SIZE_MAX) return CGRectZero;
    return CGRectMake(minX, minY, maxX - minX + 1, maxY - minY + 1);
}

// How many inked pixels lie in the top half of the bitmap, less those in the bottom half.
int topHeaviness(const CGContextRef& ctx) {
    const CGImageRef image = CGBitmapContextCreateImage(ctx);
    const size_t h = CGImageGetHeight(image);
    int balance = 0;
    for (size_t y = 0; y < h; ++y) {
        for (size_t x = 0; x < CGImageGetWidth(image); ++x) {
            if (CGImageGetPixelForTesting(image, x, y).a >= 128) balance += y < h / 2 ? 1 : -1;
        }
    }
    return balance;
}

TEST(CGContextText, DrawsUprightCentredInkInsideTheRectOnly) {
    CGTextStyle style;
    style.fontSize = 24;
    style.weight = CGTextWeight::Bold;
    style.color = rgba(0, 0, 0, 1);
    for (const CGContextRef& ctx : {CGBitmapContextCreate(120, 60), flippedContext(120, 60)}) {
        const CGRect rect = CGRectMake(20, 10, 80, 40);  // symmetric in both spaces
        CGContextShowTextInRect(ctx, "TT", rect, style);
        const CGRect ink = inkBounds(ctx);
        ASSERT_GT(ink.size.width, 10);
        EXPECT_GE(CGRectGetMinX(ink), 20);
        EXPECT_LE(CGRectGetMaxX(ink), 100);
        EXPECT_GE(CGRectGetMinY(ink), 10);
        EXPECT_LE(CGRectGetMaxY(ink), 50);
        EXPECT_NEAR(CGRectGetMidX(ink), 60, 2);
        EXPECT_NEAR(CGRectGetMidY(ink), 30, 5);
        EXPECT_GT(topHeaviness(ctx), 0) << "a T's bar is at its top";
    }
}

TEST(CGContextText, IsClippedToTheRectAndAlignsLeft) {
    const CGContextRef ctx = CGBitmapContextCreate(200, 40);
    CGTextStyle style;
    style.alignment = CGTextAlignment::Left;
    style.fontSize = 30;
    CGContextShowTextInRect(ctx, "a line far too long for its rect", CGRectMake(10, 5, 60, 30),
                            style);
    const CGRect ink = inkBounds(ctx);
    EXPECT_LE(CGRectGetMinX(ink), 14);
    EXPECT_GE(CGRectGetMinX(ink), 10);
    EXPECT_LE(CGRectGetMaxX(ink), 70);
    EXPECT_GE(CGRectGetMinY(ink), 5);
    EXPECT_LE(CGRectGetMaxY(ink), 35);
}

}  // namespace
