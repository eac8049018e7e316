// Blend modes and alpha: the pixel values a fill leaves on a known destination.

#include <gtest/gtest.h>

#include "platform/graphics/CGContext.h"
#include "tests/graphics/GraphicsTestSupport.h"

namespace {

using namespace graphics_test;

struct BlendCase {
    const char* name;
    CGColorRef destination;  // null: transparent
    CGColorRef source;
    CGBlendMode mode;
    CGFloat alpha;
    CGImagePixel expected;
};

// A 4 × 1 bitmap of `destination`, then `source` filled over its left half.
CGContextRef blended(const BlendCase& c) {
    const CGContextRef ctx = CGBitmapContextCreate(4, 1);
    if (c.destination) {
        CGContextSetFillColorWithColor(ctx, c.destination);
        CGContextFillRect(ctx, CGRectMake(0, 0, 4, 1));
    }
    CGContextSetBlendMode(ctx, c.mode);
    CGContextSetAlpha(ctx, c.alpha);
    CGContextSetFillColorWithColor(ctx, c.source);
    CGContextFillRect(ctx, CGRectMake(0, 0, 2, 1));
    return ctx;
}

// The pixel that `color` filled onto nothing leaves.
CGImagePixel filledPixel(const CGColorRef& color) {
    const CGContextRef ctx = CGBitmapContextCreate(1, 1);
    CGContextSetFillColorWithColor(ctx, color);
    CGContextFillRect(ctx, CGRectMake(0, 0, 1, 1));
    return pixelAt(ctx, 0, 0);
}

TEST(CGContextBlend, FillsCombineWithTheBitmapAsEachModeSaysAndOnlyInsideTheRect) {
    const CGColorRef red = rgba(1, 0, 0, 1), halfWhite = rgba(1, 1, 1, 0.5f);
    const BlendCase cases[] = {
        {"normal", red, rgba(0, 0, 1, 0.5f), kCGBlendModeNormal, 1, {128, 0, 128, 255}},
        {"normal at half alpha", nullptr, red, kCGBlendModeNormal, 0.5f, {255, 0, 0, 128}},
        {"multiply",
         rgba(1, 0.5f, 0.25f, 1),
         rgba(0.5f, 0.5f, 1, 1),
         kCGBlendModeMultiply,
         1,
         {128, 64, 64, 255}},
        {"multiply onto nothing", nullptr, red, kCGBlendModeMultiply, 1, kRed},
        {"multiply onto half white", halfWhite, red, kCGBlendModeMultiply, 1, kRed},
        {"multiply by black", rgba(0.2f, 0.6f, 1, 1), rgba(0, 0, 0, 1), kCGBlendModeMultiply, 1,
         kBlack},
        {"source-in", halfWhite, red, kCGBlendModeSourceIn, 1, {255, 0, 0, 128}},
        {"source-in onto nothing", nullptr, red, kCGBlendModeSourceIn, 1, kClear},
        {"copy", red, rgba(0, 0, 1, 0.5f), kCGBlendModeCopy, 1, {0, 0, 255, 128}},
        {"clear", red, rgba(0, 0, 1, 1), kCGBlendModeClear, 1, kClear},
        {"screen",
         rgba(0.5f, 0, 1, 1),
         rgba(0.5f, 0, 0, 1),
         kCGBlendModeScreen,
         1,
         {191, 0, 255, 255}},
    };
    for (const auto& c : cases) {
        const CGContextRef ctx = blended(c);
        const CGImagePixel inside = pixelAt(ctx, 0, 0);
        EXPECT_TRUE(near(inside, c.expected)) << c.name << ": " << testing::PrintToString(inside);
        const CGImagePixel untouched = c.destination ? filledPixel(c.destination) : kClear;
        EXPECT_EQ(pixelAt(ctx, 3, 0), untouched) << c.name << " reached outside the rect";
    }
}

TEST(CGContextBlend, ClearRectClearsWhateverTheModeAndAlpha) {
    const CGContextRef ctx = CGBitmapContextCreate(4, 1);
    CGContextSetFillColorWithColor(ctx, rgba(0, 0, 1, 1));
    CGContextFillRect(ctx, CGRectMake(0, 0, 4, 1));
    CGContextSetBlendMode(ctx, kCGBlendModeMultiply);
    CGContextSetAlpha(ctx, 0.25f);
    CGContextClearRect(ctx, CGRectMake(1, 0, 2, 1));
    EXPECT_EQ(pixelAt(ctx, 0, 0), kBlue);
    EXPECT_EQ(pixelAt(ctx, 1, 0), kClear);
    EXPECT_EQ(pixelAt(ctx, 2, 0), kClear);
    EXPECT_EQ(pixelAt(ctx, 3, 0), kBlue);
}

TEST(CGContextBlend, DrawingAnImageUsesTheModeToo) {
    const CGContextRef ctx = CGBitmapContextCreate(2, 1);
    CGContextSetFillColorWithColor(ctx, rgba(1, 1, 1, 0.5f));
    CGContextFillRect(ctx, CGRectMake(0, 0, 1, 1));
    CGContextSetBlendMode(ctx, kCGBlendModeSourceIn);
    CGContextDrawImage(ctx, CGRectMake(0, 0, 2, 1), imageOf({"rb"}));
    EXPECT_TRUE(near(pixelAt(ctx, 0, 0), {255, 0, 0, 128}));
    EXPECT_EQ(pixelAt(ctx, 1, 0), kClear);
}

}  // namespace
