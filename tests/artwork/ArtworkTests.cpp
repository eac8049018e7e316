// corvane-artwork as the build runs it: a separate process drawing every picture into a folder,
// read back the way the lock screen reads them.

#include "platform/graphics/CGImage.h"
#include "tests/support/RunProgram.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace {

const std::vector<std::string> kDesigns = {"Red", "Cloth", "Grey", "Custom", "Vellum"};

struct Extent {
    size_t width;
    size_t height;
};

// A rectangle of pixels: columns [x0, x1), rows [y0, y1).
struct PixelRect {
    size_t x0, y0, x1, y1;
};

struct DirectionCase {
    std::string name;
    Extent size;
    PixelRect shownAtRest;  // the half on screen while the badge rests at its edge
};

const std::vector<DirectionCase> kDirections = {
    {"Up", {80, 100}, {0, 0, 80, 50}},
    {"Right", {100, 80}, {50, 0, 100, 80}},
    {"Left", {100, 80}, {0, 0, 50, 80}},
};

std::string badgeFile(const std::string& design, const std::string& direction) {
    return "CRVBadge" + design + direction + ".png";
}

std::vector<std::string> allFiles() {
    std::vector<std::string> files;
    for (const auto& design : kDesigns) {
        for (const auto& direction : kDirections)
            files.push_back(badgeFile(design, direction.name));
    }
    files.push_back("vault.png");
    return files;
}

// Runs the generator into `folder`.
ProgramRun drawArtwork(const TemporaryRoot& root, const std::filesystem::path& folder) {
    return runProgram(CORVANE_ARTWORK_PATH, {folder.string()}, root.path());
}

// A folder with a fresh set of pictures, removed afterwards.
class ArtworkFolder {
public:
    ArtworkFolder() : folder_(root_.path() / "Library" / "Corvane") {
        const ProgramRun run = drawArtwork(root_, folder_);
        EXPECT_EQ(run.status, 0) << run.err;
    }
    const TemporaryRoot& root() const { return root_; }
    const std::filesystem::path& folder() const { return folder_; }
    CGImageRef image(const std::string& file) const {
        return CGImageCreateWithPNGFile(folder_ / file);
    }

private:
    TemporaryRoot root_;
    std::filesystem::path folder_;
};

double luminance(CGImagePixel p) {
    return (0.2126 * p.r + 0.7152 * p.g + 0.0722 * p.b) / 255.0;
}

// The share of pixels in `rect` that are at least mostly opaque.
double opaqueShare(const CGImageRef& image, PixelRect rect) {
    size_t opaque = 0;
    for (size_t y = rect.y0; y < rect.y1; ++y) {
        for (size_t x = rect.x0; x < rect.x1; ++x) {
            if (CGImageGetPixelForTesting(image, x, y).a >= 200) ++opaque;
        }
    }
    return double(opaque) / double((rect.x1 - rect.x0) * (rect.y1 - rect.y0));
}

// The mean difference of colour, 0 to 1, over the pixels where both images are opaque.
double meanColourDifference(const CGImageRef& a, const CGImageRef& b) {
    double sum = 0;
    size_t count = 0;
    for (size_t y = 0; y < CGImageGetHeight(a); ++y) {
        for (size_t x = 0; x < CGImageGetWidth(a); ++x) {
            const CGImagePixel p = CGImageGetPixelForTesting(a, x, y);
            const CGImagePixel q = CGImageGetPixelForTesting(b, x, y);
            if (p.a < 255 || q.a < 255) continue;
            sum += (std::abs(p.r - q.r) + std::abs(p.g - q.g) + std::abs(p.b - q.b)) / (3 * 255.0);
            ++count;
        }
    }
    return count == 0 ? 0 : sum / count;
}

TEST(Artwork, DrawsEveryBadgeAndTheVaultAtTheSizesTheLockScreenUses) {
    ArtworkFolder artwork;
    for (const auto& design : kDesigns) {
        for (const auto& direction : kDirections) {
            SCOPED_TRACE(badgeFile(design, direction.name));
            const CGImageRef image = artwork.image(badgeFile(design, direction.name));
            ASSERT_NE(image, nullptr);
            EXPECT_EQ(CGImageGetWidth(image), direction.size.width);
            EXPECT_EQ(CGImageGetHeight(image), direction.size.height);
        }
    }
    const CGImageRef vault = artwork.image("vault.png");
    ASSERT_NE(vault, nullptr);
    EXPECT_EQ(CGImageGetWidth(vault), 272u);
    EXPECT_EQ(CGImageGetHeight(vault), 310u);
}

TEST(Artwork, EveryPictureHasTransparentCorners) {
    ArtworkFolder artwork;
    for (const auto& file : allFiles()) {
        SCOPED_TRACE(file);
        const CGImageRef image = artwork.image(file);
        const size_t right = CGImageGetWidth(image) - 1, bottom = CGImageGetHeight(image) - 1;
        EXPECT_EQ(CGImageGetPixelForTesting(image, 0, 0).a, 0);
        EXPECT_EQ(CGImageGetPixelForTesting(image, right, 0).a, 0);
        EXPECT_EQ(CGImageGetPixelForTesting(image, 0, bottom).a, 0);
        EXPECT_EQ(CGImageGetPixelForTesting(image, right, bottom).a, 0);
    }
}

TEST(Artwork, TheHalfOfABadgeThatShowsAtRestIsMostlyOpaque) {
    ArtworkFolder artwork;
    for (const auto& design : kDesigns) {
        for (const auto& direction : kDirections) {
            SCOPED_TRACE(badgeFile(design, direction.name));
            const CGImageRef image = artwork.image(badgeFile(design, direction.name));
            EXPECT_GT(opaqueShare(image, direction.shownAtRest), 0.6);
        }
    }
}

TEST(Artwork, TheLeftBadgeIsTheRightBadgeSeenInAMirror) {
    ArtworkFolder artwork;
    for (const auto& design : kDesigns) {
        SCOPED_TRACE(design);
        const CGImageRef right = artwork.image(badgeFile(design, "Right"));
        const CGImageRef left = artwork.image(badgeFile(design, "Left"));
        std::vector<CGImagePixel> mirrored;
        for (size_t y = 0; y < 80; ++y) {
            for (size_t x = 0; x < 100; ++x) {
                mirrored.push_back(CGImageGetPixelForTesting(right, 99 - x, y));
            }
        }
        const CGImageRef mirror = CGImageCreateWithPixels(100, 80, mirrored);
        // Light falls from above on both; only details lit from one side may differ a little.
        EXPECT_LT(meanColourDifference(left, mirror), 0.03);
        EXPECT_NEAR(opaqueShare(left, {0, 0, 100, 80}), opaqueShare(mirror, {0, 0, 100, 80}),
                    0.001);
    }
}

TEST(Artwork, TheCustomDesignIsLightSoATintShowsItsColour) {
    ArtworkFolder artwork;
    for (const auto& direction : kDirections) {
        SCOPED_TRACE(direction.name);
        const CGImageRef image = artwork.image(badgeFile("Custom", direction.name));
        double sum = 0;
        size_t count = 0;
        for (size_t y = 0; y < direction.size.height; ++y) {
            for (size_t x = 0; x < direction.size.width; ++x) {
                const CGImagePixel p = CGImageGetPixelForTesting(image, x, y);
                if (p.a < 255) continue;
                sum += luminance(p);
                ++count;
            }
        }
        ASSERT_GT(count, 0u);
        EXPECT_GT(sum / count, 0.75);
    }
}

TEST(Artwork, EveryDesignLooksDifferentFromTheOthers) {
    ArtworkFolder artwork;
    for (size_t i = 0; i < kDesigns.size(); ++i) {
        for (size_t j = i + 1; j < kDesigns.size(); ++j) {
            SCOPED_TRACE(kDesigns[i] + " and " + kDesigns[j]);
            const CGImageRef a = artwork.image(badgeFile(kDesigns[i], "Up"));
            const CGImageRef b = artwork.image(badgeFile(kDesigns[j], "Up"));
            EXPECT_GT(meanColourDifference(a, b), 0.1);
        }
    }
}

TEST(Artwork, TheVaultDialIsCentredSoItTurnsInPlace) {
    ArtworkFolder artwork;
    const CGImageRef vault = artwork.image("vault.png");
    size_t left = 272, top = 310, right = 0, bottom = 0;
    for (size_t y = 0; y < 310; ++y) {
        for (size_t x = 0; x < 272; ++x) {
            if (CGImageGetPixelForTesting(vault, x, y).a < 255) continue;
            left = std::min(left, x), right = std::max(right, x);
            top = std::min(top, y), bottom = std::max(bottom, y);
        }
    }
    EXPECT_NEAR((left + right) / 2.0, 136 - 0.5, 1.0);
    EXPECT_NEAR((top + bottom) / 2.0, 155 - 0.5, 1.0);
    // Round: as wide as it is tall, and most of the width of the picture.
    EXPECT_NEAR(double(right - left), double(bottom - top), 1.0);
    EXPECT_GT(right - left, 220u);
}

TEST(Artwork, ASecondRunWritesTheSameBytes) {
    ArtworkFolder first, second;
    for (const auto& file : allFiles()) {
        SCOPED_TRACE(file);
        const std::string bytes = fileBytes(first.folder() / file);
        EXPECT_FALSE(bytes.empty());
        EXPECT_EQ(bytes, fileBytes(second.folder() / file));
    }
}

TEST(Artwork, AFolderThatCannotBeWrittenFailsWithOneLine) {
    TemporaryRoot root;
    // A folder inside a plain file cannot be made, whoever runs the test.
    root.write("/blocker", "not a folder");
    const ProgramRun run = drawArtwork(root, root / "/blocker/Library/Corvane");
    EXPECT_NE(run.status, 0);
    EXPECT_FALSE(run.err.empty());
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1);
}

TEST(Artwork, WithoutAFolderItPrintsUsageAndFails) {
    TemporaryRoot root;
    const ProgramRun run = runProgram(CORVANE_ARTWORK_PATH, {}, root.path());
    EXPECT_NE(run.status, 0);
    EXPECT_NE(run.err.find("usage"), std::string::npos);
}

}  // namespace
