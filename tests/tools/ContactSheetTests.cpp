// Contact sheets of recordings: which frames a row shows, and how the rows are laid out.

#include "common/recording/WebPAnimationWriter.h"
#include "tests/support/TemporaryRoot.h"
#include "tools/sheet/ContactSheet.h"
#include "tools/sheet/KeyFrames.h"

#include <gtest/gtest.h>

namespace {

using std::chrono::milliseconds;

CGImageRef filled(size_t width, size_t height, CGImagePixel colour) {
    return CGImageCreateWithPixels(width, height,
                                   std::vector<CGImagePixel>(width * height, colour));
}

// Frame starts in milliseconds: `count` frames 33 ms apart from `from`.
std::vector<milliseconds> steady(int count, long from = 0) {
    std::vector<milliseconds> starts;
    for (int i = 0; i < count; ++i) starts.push_back(milliseconds(from + 33 * i));
    return starts;
}

std::vector<milliseconds> joined(std::vector<milliseconds> a, const std::vector<milliseconds>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

TEST(KeyFrames, SpreadOverTheTimeWithStillPicturesCountingAQuarterSecond) {
    const struct {
        const char* what;
        std::vector<milliseconds> starts;
        int count;
        std::vector<int> indices;
    } cases[] = {
        {"steady frames", steady(20), 6, {0, 3, 7, 11, 15, 19}},
        // Frame 4 holds still for 1.2 s: it counts as 250 ms, so it is shown but does not take
        // the sheet over; the pick that lands on it again moves to the next frame.
        {"a still in the middle", joined(steady(5), steady(5, 1332)), 4, {0, 4, 5, 9}},
        {"fewer frames than asked", steady(3), 6, {0, 1, 2}},
        {"one frame asked", steady(10), 1, {0}},
        {"no frames", {}, 6, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(keyFrameIndices(c.starts, c.count), c.indices);
    }
}

TEST(KeyFrames, AreReadBackFromARecordingWithTheirTimes) {
    TemporaryRoot root;
    const auto file = root.path() / "four.webp";
    WebPAnimationWriter writer(8, 8);
    const CGImagePixel colours[] = {
        {255, 0, 0, 255}, {0, 255, 0, 255}, {0, 0, 255, 255}, {255, 255, 255, 255}};
    for (int i = 0; i < 4; ++i)
        ASSERT_TRUE(writer.add(filled(8, 8, colours[i]), milliseconds(100 * i)));
    ASSERT_EQ(writer.finish(milliseconds(400), file), "");

    WebPAnimationReader reader(file);
    const auto frames = readFrames(reader, {1, 3});
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_EQ(frames[0].start, milliseconds(100));
    EXPECT_EQ(frames[0].end, milliseconds(200));
    EXPECT_EQ(frames[1].start, milliseconds(300));
    EXPECT_GT(CGImageGetPixelForTesting(frames[0].image, 4, 4).g, 200);  // the green frame
    EXPECT_GT(CGImageGetPixelForTesting(frames[1].image, 4, 4).b, 200);  // the white one
    EXPECT_EQ(reader.duration(), milliseconds(400));
}

TEST(ContactSheet, LaysOutOneLabelledRowARecordingAtTheFrameHeight) {
    const ContactSheetLayout layout{100, 120, 22, 10};
    const auto frame = [](size_t width, size_t height) {
        return WebPAnimationFrame{filled(width, height, {200, 50, 50, 255}), milliseconds(0),
                                  milliseconds(33)};
    };
    // A phone row of three frames (each 100 × 2/3 wide) and a wider row of two.
    const std::vector<ContactSheetRow> rows = {
        {"drag", milliseconds(2200), {frame(320, 480), frame(320, 480), frame(320, 480)}},
        {"tablet", milliseconds(1000), {frame(360, 480), frame(480, 320)}},
    };
    const CGImageRef sheet = drawContactSheet(rows, layout);
    // The label column, then the wider row: frames 75 and 150 pixels wide, each with its gap.
    EXPECT_EQ(CGImageGetWidth(sheet), size_t(10 + 120 + (75 + 10) + (150 + 10)));
    EXPECT_EQ(CGImageGetHeight(sheet), size_t(10 + 2 * (100 + 22 + 10)));
    // The first frame of the first row sits past the label column, below the top gap.
    const auto inFrame = CGImageGetPixelForTesting(sheet, 130 + 30, 10 + 50);
    EXPECT_EQ(inFrame.r, 200);
    EXPECT_EQ(inFrame.g, 50);
    EXPECT_TRUE(drawContactSheet({}, layout) == nullptr);
}

}  // namespace
