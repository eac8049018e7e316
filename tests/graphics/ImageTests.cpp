// Bitmaps from pixels and from PNG files, and what broken files give.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/graphics/CGImage.h"
#include "tests/graphics/GraphicsTestSupport.h"
#include "tests/support/TemporaryRoot.h"

namespace {

using namespace graphics_test;

TEST(CGImage, KeepsUnpremultipliedPixelsRowsFromTheTop) {
    const CGImageRef image = imageOf({"rb.", "wkh"});
    ASSERT_TRUE(image);
    EXPECT_EQ(CGImageGetWidth(image), 3u);
    EXPECT_EQ(CGImageGetHeight(image), 2u);
    EXPECT_EQ(CGImageGetPixelForTesting(image, 0, 0), kRed);
    EXPECT_EQ(CGImageGetPixelForTesting(image, 1, 0), kBlue);
    EXPECT_EQ(CGImageGetPixelForTesting(image, 2, 0), kClear);
    EXPECT_EQ(CGImageGetPixelForTesting(image, 1, 1), kBlack);
    EXPECT_EQ(CGImageGetPixelForTesting(image, 2, 1), (CGImagePixel{255, 255, 255, 128}));
    EXPECT_FALSE(image->isOpaque());
    EXPECT_TRUE(imageOf({"rb", "wk"})->isOpaque());
}

TEST(CGImage, BadSizesAndNullImagesGiveNothing) {
    const std::vector<CGImagePixel> four(4, kRed);
    EXPECT_FALSE(CGImageCreateWithPixels(0, 4, four));
    EXPECT_FALSE(CGImageCreateWithPixels(2, 3, four));
    EXPECT_FALSE(CGImageCreateWithPixels(40000, 1, four));
    EXPECT_EQ(CGImageGetWidth(nullptr), 0u);
    EXPECT_EQ(CGImageGetPixelForTesting(nullptr, 0, 0), kClear);
    EXPECT_EQ(CGImageGetPixelForTesting(imageOf({"r"}), 1, 0), kClear);
    EXPECT_TRUE(CGImageCopyPNGData(nullptr).empty());
    EXPECT_FALSE(CGImageWritePNG(nullptr, "/nonexistent/x.png"));
}

TEST(CGImage, SurvivesAPNGRoundTripThroughBytesAndFiles) {
    TemporaryRoot root;
    const CGImageRef image = imageOf({"rb.h", "wkrb"});
    const auto file = root.path() / "picture.png";
    ASSERT_TRUE(CGImageWritePNG(image, file));
    const std::vector<uint8_t> bytes = CGImageCopyPNGData(image);
    for (const CGImageRef& copy :
         {CGImageCreateWithPNGData(bytes), CGImageCreateWithPNGFile(file)}) {
        ASSERT_TRUE(copy);
        ASSERT_EQ(CGImageGetWidth(copy), 4u);
        ASSERT_EQ(CGImageGetHeight(copy), 2u);
        for (size_t y = 0; y < 2; ++y) {
            for (size_t x = 0; x < 4; ++x) {
                EXPECT_EQ(CGImageGetPixelForTesting(copy, x, y),
                          CGImageGetPixelForTesting(image, x, y))
                    << x << "," << y;
            }
        }
    }
}

TEST(CGImage, MissingBrokenOrTruncatedPNGsGiveNull) {
    TemporaryRoot root;
    const std::vector<uint8_t> good = CGImageCopyPNGData(imageOf({"rbwk", "kwbr", "rrrr"}));
    const std::vector<uint8_t> signatureOnly(good.begin(), good.begin() + 8);
    const std::vector<uint8_t> truncated(good.begin(), good.end() - 20);
    std::vector<uint8_t> corrupted = good;
    for (size_t i = 40; i < corrupted.size() - 12; ++i) corrupted[i] ^= 0x5a;
    const std::vector<uint8_t> text = {'n', 'o', 't', ' ', 'p', 'n', 'g'};
    for (const auto& bytes : {std::vector<uint8_t>{}, signatureOnly, truncated, corrupted, text}) {
        EXPECT_FALSE(CGImageCreateWithPNGData(bytes)) << bytes.size() << " bytes";
        const auto file = root.path() / "broken.png";
        std::ofstream(file, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
        EXPECT_FALSE(CGImageCreateWithPNGFile(file)) << bytes.size() << " bytes";
    }
    EXPECT_FALSE(CGImageCreateWithPNGFile(root.path() / "missing.png"));
    EXPECT_FALSE(CGImageCreateWithPNGFile(root.path()));  // a folder
}

}  // namespace
