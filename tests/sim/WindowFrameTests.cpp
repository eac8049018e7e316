// What the window does with each frame besides drawing it: a screen much larger than the window
// shrunk by whole blocks, and the wait of a touch to be seen measured from its first input.

#include "sim/device/ScreenDownscale.h"
#include "sim/device/WindowLatency.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

TEST(ScreenDownscale, TheFactorKeepsAtLeastTheWindowsPixels) {
    struct Case {
        int width, height, outWidth, outHeight, factor;
    };
    const Case cases[] = {
        {1290, 2796, 430, 932, 3},   // the largest phone in its window
        {1290, 2796, 500, 1000, 2},  // a little larger window: the rest is the window's scaling
        {320, 480, 320, 480, 1},    {320, 480, 640, 960, 1},     // same size, or scaled up
        {750, 1334, 375, 667, 2},   {10000, 10000, 10, 10, 16},  // at most 16
        {320, 480, 0, 0, 1},                                     // a window not yet sized
    };
    for (const auto& c : cases) {
        EXPECT_EQ(screenDownscaleFactor(c.width, c.height, c.outWidth, c.outHeight), c.factor)
            << c.width << "x" << c.height << " in " << c.outWidth << "x" << c.outHeight;
    }
}

TEST(ScreenDownscale, EachBlockBecomesItsRoundedAverageAndTheRestIsLeftOut) {
    // 5 × 4 pixels with f = 2: two whole blocks across, two down; the fifth column is left out.
    const int width = 5, height = 4;
    std::vector<uint8_t> pixels(size_t(width * height * 4));
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            uint8_t* p = &pixels[size_t(4 * (y * width + x))];
            p[0] = uint8_t(x == 0 && y == 0 ? 255 : 0);  // one bright corner: 255 / 4 rounds to 64
            p[1] = uint8_t(10 * x + y);                  // a ramp
            p[2] = 255;                                  // full stays full
            p[3] = uint8_t(x == 4 ? 200 : 1);            // the left-out column leaves no trace
        }
    }
    std::vector<uint32_t> out;
    screenDownscale(pixels.data(), 4 * width, width, height, 2, out);
    ASSERT_EQ(out.size(), 4u);
    const auto* bytes = reinterpret_cast<const uint8_t*>(out.data());
    // Block (bx, by) of the ramp: the mean of 10 x + y over its four pixels, rounded.
    const uint8_t expected[4][4] = {
        {64, 6, 255, 1}, {0, 26, 255, 1}, {0, 8, 255, 1}, {0, 28, 255, 1}};
    for (int i = 0; i < 4; ++i) {
        for (int c = 0; c < 4; ++c) EXPECT_EQ(bytes[4 * i + c], expected[i][c]) << i << " " << c;
    }
}

TEST(WindowLatency, TheWaitRunsFromTheFirstInputSinceTheLastFrame) {
    std::ostringstream log;
    WindowLatency latency(&log);
    latency.presented(100, 1, 1);  // a frame with no input shown: not counted
    latency.input(110);
    latency.input(115);  // a later input waits less; the first one counts
    latency.presented(122, 5.04, 2.46);
    latency.input(0xFFFFFFF0u);  // across the wrap of SDL's clock
    latency.presented(0x0000000Au, 5, 2);
    latency.input(200);
    latency.presented(230, 5, 2);
    EXPECT_EQ(log.str(),
              "{\"input_ms\":12,\"draw_ms\":5,\"present_ms\":2.5}\n"
              "{\"input_ms\":26,\"draw_ms\":5,\"present_ms\":2}\n"
              "{\"input_ms\":30,\"draw_ms\":5,\"present_ms\":2}\n");
    EXPECT_EQ(latency.takeMedian(), 26u);
    EXPECT_EQ(latency.takeMedian(), std::nullopt);  // taken: the next stretch starts empty
    EXPECT_FALSE(latency.failed());
}

}  // namespace
