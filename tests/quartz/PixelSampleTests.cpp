#include "platform/quartz/CAPixelSample.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

namespace {

// One channel at a time, as the blend is meant: each source channel scaled by the opacity, the
// pixel below by what the scaled source's alpha leaves, the sum stopped at 255.
uint32_t overChannelByChannel(uint32_t src, uint32_t below, uint32_t alpha) {
    uint32_t out = 0;
    const uint32_t srcAlpha = ((src >> 24) * alpha) >> 8;
    for (int c = 0; c < 32; c += 8) {
        const uint32_t s = (((src >> c) & 0xFF) * alpha) >> 8;
        const uint32_t v = s + ((((below >> c) & 0xFF) * (256 - srcAlpha)) >> 8);
        out |= std::min(v, 255u) << c;
    }
    return out;
}

// Channels at the ends of their range and between, premultiplied or not (a source whose colour
// passes its alpha makes sums past 255 in every lane), at every opacity.
TEST(CAPixelSample, OverBlendsEveryChannelOnItsOwnAndStopsItAt255) {
    const uint32_t channels[] = {0, 1, 127, 128, 254, 255};
    uint32_t state = 7;
    auto pixel = [&] {
        state ^= state << 13, state ^= state >> 17, state ^= state << 5;
        uint32_t p = 0;
        for (int c = 0; c < 32; c += 8) p |= channels[(state >> c) % 6] << c;
        return p;
    };
    for (uint32_t alpha = 0; alpha <= 256; ++alpha) {
        for (int i = 0; i < 200; ++i) {
            const uint32_t src = pixel(), below = pixel();
            ASSERT_EQ(CAPixelSample::over(src, below, alpha),
                      overChannelByChannel(src, below, alpha))
                << std::hex << src << " over " << below << " at " << std::dec << alpha;
        }
    }
}

// One channel at a time: each column's two taps mixed down, rounding, then the two columns
// across.
uint32_t bilinearChannelByChannel(const uint32_t taps[4], uint32_t fx, uint32_t fy) {
    auto mix = [](uint32_t a, uint32_t b, uint32_t w) {
        return (a * (256 - w) + b * w + 128) >> 8;
    };
    uint32_t out = 0;
    for (int c = 0; c < 32; c += 8) {
        auto channel = [&](int tap) { return (taps[tap] >> c) & 0xFF; };
        out |= mix(mix(channel(0), channel(2), fy), mix(channel(1), channel(3), fy), fx) << c;
    }
    return out;
}

// Taps whose channels lie at the ends of their range and between, at every pair of fractions.
TEST(CAPixelSample, BilinearMixesEveryChannelDownThenAcrossOnItsOwn) {
    const uint32_t tapSets[][4] = {
        {0x00000000, 0xFFFFFFFF, 0xFF00FF00, 0x00FF00FF},
        {0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF},
        {0x80FF0001, 0x7F00FFFE, 0x01807F80, 0xFE017F81},
    };
    for (const auto& taps : tapSets) {
        for (uint32_t fx = 0; fx < 256; ++fx) {
            for (uint32_t fy = 0; fy < 256; ++fy) {
                ASSERT_EQ(CAPixelSample::bilinear(taps[0], taps[1], taps[2], taps[3], fx, fy),
                          bilinearChannelByChannel(taps, fx, fy))
                    << "fractions " << fx << ", " << fy << ", taps " << (&taps - tapSets);
            }
        }
    }
}

// Whole numbers, halves either way of zero (away from zero), and the doubles just short of and
// just past a half.
TEST(CAPixelSample, RoundToInt64RoundsAsTheLibraryDoes) {
    const double values[] = {0.0,
                             -0.0,
                             0.5,
                             -0.5,
                             1.5,
                             -1.5,
                             2.5,
                             -2.5,
                             std::nextafter(0.5, 0.0),
                             std::nextafter(0.5, 1.0),
                             std::nextafter(-0.5, 0.0),
                             std::nextafter(-2.5, -3.0),
                             123456.49999999999,
                             -98765.5,
                             65536.0 * 1290.75,
                             -65536.0 * 2796.25,
                             4503599627370495.5,
                             -4503599627370495.5};
    for (double x : values) {
        EXPECT_EQ(CAPixelSample::roundToInt64(x), std::llround(x)) << x;
    }
}

}  // namespace
