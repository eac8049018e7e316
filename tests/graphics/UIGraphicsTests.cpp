// UIKit's images and image contexts: scale, size in points, the y-down space and the stack.

#include <gtest/gtest.h>

#include "platform/uikit/UIGraphics.h"
#include "platform/uikit/UIImage.h"
#include "tests/graphics/GraphicsTestSupport.h"
#include "tests/support/TemporaryRoot.h"

namespace {

using namespace graphics_test;

// Whatever a test leaves open is closed, so that one failure does not spill into the next.
struct ImageContexts : ::testing::Test {
    void TearDown() override {
        while (UIGraphicsGetCurrentContext() || UIGraphicsGetImageFromCurrentImageContext()) {
            UIGraphicsEndImageContext();
            UIGraphicsPopContext();
        }
        UIGraphicsSetMainScreenScaleForContexts(1);
    }
};

TEST(UIImage, MeasuresItsSizeInPointsOfItsScale) {
    const CGImageRef pixels = imageOf({"rrrr", "rrrr"});
    const struct {
        CGFloat scale;
        CGFloat expectedScale;
        CGSize expectedSize;
    } cases[] = {{1, 1, {4, 2}}, {2, 2, {2, 1}}, {0, 1, {4, 2}}, {-3, 1, {4, 2}}};
    for (const auto& c : cases) {
        const UIImageRef image = UIImage::imageWithCGImage(pixels, c.scale, UIImageOrientationUp);
        EXPECT_EQ(image->scale(), c.expectedScale);
        EXPECT_EQ(image->size(), c.expectedSize);
        EXPECT_EQ(image->CGImage(), pixels);
    }
    EXPECT_FALSE(UIImage::imageWithCGImage(nullptr));
    EXPECT_TRUE(UIImage::imageWithCGImage(pixels)->isKindOfClass(objc_getClass("UIImage")));
    // Code that asks before using the scale finds it.
    EXPECT_TRUE(UIImage::imageWithCGImage(pixels)->respondsToSelector(UIImageMessage::scale.selector()));
}

TEST(UIImage, LoadsPNGsFromDevicePathsAndGivesNilForMissingOrBrokenOnes) {
    TemporaryRoot root;
    const std::vector<uint8_t> png = CGImageCopyPNGData(imageOf({"rb", "wk"}));
    const std::string bytes(png.begin(), png.end());
    root.write("/Library/Corvane/vault.png", bytes);
    root.write("/Library/Corvane/badge@2x.png", bytes);
    root.write("/Library/Corvane/broken.png", bytes.substr(0, bytes.size() / 2));

    const UIImageRef vault = UIImage::imageWithContentsOfFile("/Library/Corvane/vault.png");
    ASSERT_TRUE(vault);
    EXPECT_EQ(vault->scale(), 1);
    EXPECT_EQ(CGImageGetPixelForTesting(vault->CGImage(), 1, 0), kBlue);
    EXPECT_EQ(UIImagePNGRepresentation(vault), png);
    const UIImageRef badge = UIImage::imageWithContentsOfFile("/Library/Corvane/badge@2x.png");
    ASSERT_TRUE(badge);
    EXPECT_EQ(badge->size(), CGSizeMake(1, 1));
    EXPECT_FALSE(UIImage::imageWithContentsOfFile("/Library/Corvane/broken.png"));
    EXPECT_FALSE(UIImage::imageWithContentsOfFile("/Library/Corvane/missing.png"));
    EXPECT_TRUE(UIImagePNGRepresentation(nullptr).empty());
}

TEST_F(ImageContexts, AreYDownInPointsAndGiveImagesOfTheirScale) {
    UIGraphicsBeginImageContextWithOptions(CGSizeMake(3, 2), false, 2);
    const CGContextRef ctx = UIGraphicsGetCurrentContext();
    ASSERT_TRUE(ctx);
    EXPECT_EQ(CGBitmapContextGetWidth(ctx), 6u);
    EXPECT_EQ(CGContextGetCTM(ctx), CGAffineTransformMake(2, 0, 0, -2, 0, 4));
    CGContextFillRect(ctx, CGRectMake(0, 0, 1, 1));  // the top-left point: 2 × 2 pixels
    const UIImageRef image = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    ASSERT_TRUE(image);
    EXPECT_EQ(image->scale(), 2);
    EXPECT_EQ(image->size(), CGSizeMake(3, 2));
    EXPECT_EQ(CGImageGetPixelForTesting(image->CGImage(), 1, 1), kBlack);
    EXPECT_EQ(CGImageGetPixelForTesting(image->CGImage(), 2, 0), kClear);
    EXPECT_EQ(CGImageGetPixelForTesting(image->CGImage(), 0, 2), kClear);
    EXPECT_FALSE(UIGraphicsGetCurrentContext());
}

TEST_F(ImageContexts, ScaleZeroTakesTheMainScreensAndPlainBeginTakesOne) {
    UIGraphicsSetMainScreenScaleForContexts(2);
    UIGraphicsBeginImageContextWithOptions(CGSizeMake(10, 5), false, 0);
    EXPECT_EQ(CGBitmapContextGetHeight(UIGraphicsGetCurrentContext()), 10u);
    EXPECT_EQ(UIGraphicsGetImageFromCurrentImageContext()->scale(), 2);
    UIGraphicsEndImageContext();
    UIGraphicsBeginImageContext(CGSizeMake(10, 5));
    EXPECT_EQ(CGBitmapContextGetHeight(UIGraphicsGetCurrentContext()), 5u);
    UIGraphicsEndImageContext();
}

TEST_F(ImageContexts, DrawInRectAndDrawAtPointAreUprightAndIgnoreTheContextsMode) {
    const UIImageRef image = UIImage::imageWithCGImage(imageOf({"rr", "bb"}));
    UIGraphicsBeginImageContext(CGSizeMake(4, 4));
    CGContextSetBlendMode(UIGraphicsGetCurrentContext(), kCGBlendModeClear);
    image->drawInRect(CGRectMake(0, 0, 2, 2));
    image->drawAtPoint(CGPointMake(2, 2));
    const CGImageRef result = UIGraphicsGetImageFromCurrentImageContext()->CGImage();
    UIGraphicsEndImageContext();
    EXPECT_EQ(CGImageGetPixelForTesting(result, 0, 0), kRed);
    EXPECT_EQ(CGImageGetPixelForTesting(result, 0, 1), kBlue);
    EXPECT_EQ(CGImageGetPixelForTesting(result, 3, 2), kRed);
    EXPECT_EQ(CGImageGetPixelForTesting(result, 3, 3), kBlue);
    EXPECT_EQ(CGImageGetPixelForTesting(result, 3, 0), kClear);
    image->drawInRect(CGRectMake(0, 0, 2, 2));  // no context: nothing happens
}

TEST_F(ImageContexts, NestAsAStackWithPushedContexts) {
    EXPECT_FALSE(UIGraphicsGetCurrentContext());
    EXPECT_FALSE(UIGraphicsGetImageFromCurrentImageContext());
    UIGraphicsBeginImageContext(CGSizeMake(1, 1));
    const CGContextRef outer = UIGraphicsGetCurrentContext();
    UIGraphicsBeginImageContext(CGSizeMake(2, 2));
    const CGContextRef inner = UIGraphicsGetCurrentContext();
    EXPECT_NE(inner, outer);
    const CGContextRef plain = CGBitmapContextCreate(1, 1);
    UIGraphicsPushContext(plain);
    EXPECT_EQ(UIGraphicsGetCurrentContext(), plain);
    EXPECT_FALSE(UIGraphicsGetImageFromCurrentImageContext());  // not an image context
    UIGraphicsEndImageContext();  // the top is not an image context: ignored
    EXPECT_EQ(UIGraphicsGetCurrentContext(), plain);
    UIGraphicsPopContext();
    UIGraphicsPopContext();  // the top is an image context: ignored
    EXPECT_EQ(UIGraphicsGetCurrentContext(), inner);
    UIGraphicsEndImageContext();
    EXPECT_EQ(UIGraphicsGetCurrentContext(), outer);
    UIGraphicsEndImageContext();
    EXPECT_FALSE(UIGraphicsGetCurrentContext());
}

TEST_F(ImageContexts, SizesWithoutAreaMakeNoContextButStayPaired) {
    UIGraphicsBeginImageContext(CGSizeMake(4, 4));
    const CGContextRef outer = UIGraphicsGetCurrentContext();
    for (const CGSize size :
         {CGSizeMake(0, 10), CGSizeMake(10, 0), CGSizeMake(-5, 5), CGSizeMake(0.0001f, 5)}) {
        UIGraphicsBeginImageContextWithOptions(size, false, 1);
        EXPECT_FALSE(UIGraphicsGetCurrentContext()) << size.width << " × " << size.height;
        EXPECT_FALSE(UIGraphicsGetImageFromCurrentImageContext());
        CGContextFillRect(UIGraphicsGetCurrentContext(), CGRectMake(0, 0, 1, 1));
        UIGraphicsEndImageContext();
        EXPECT_EQ(UIGraphicsGetCurrentContext(), outer);
    }
    UIGraphicsEndImageContext();
}

TEST_F(ImageContexts, AnOpaqueContextStartsBlackAndIgnoresAlpha) {
    UIGraphicsBeginImageContextWithOptions(CGSizeMake(2, 1), true, 1);
    CGContextSetFillColorWithColor(UIGraphicsGetCurrentContext(), rgba(1, 1, 1, 0.5f));
    CGContextFillRect(UIGraphicsGetCurrentContext(), CGRectMake(0, 0, 1, 1));
    const CGImageRef result = UIGraphicsGetImageFromCurrentImageContext()->CGImage();
    UIGraphicsEndImageContext();
    EXPECT_TRUE(near(CGImageGetPixelForTesting(result, 0, 0), {128, 128, 128, 255}));
    EXPECT_EQ(CGImageGetPixelForTesting(result, 1, 0), kBlack);
}

}  // namespace
