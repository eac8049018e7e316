#include "platform/quartz/CAPixelBlit.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

// What the fast paths are told of a source that is, or is not, opaque throughout.
CAPixelSource sourceOf(bool opaque) {
    return opaque ? CAPixelSource::Opaque : CAPixelSource::Translucent;
}

// A buffer of premultiplied pixels with detail everywhere; `opaque` or with varying alpha.
struct Pixels {
    Pixels(int w, int h, unsigned seed, bool opaque) : data(size_t(w * h)) {
        buffer = {data.data(), w, h, w};
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                const unsigned a = opaque ? 255 : (x * 37 + y * 11 + seed) % 256;
                auto c = [&](unsigned v) { return (v % 256) * a / 255; };
                data[size_t(y * w + x)] =
                    (a << 24) | (c(x * 7 + seed) << 16) | (c(y * 13 + seed) << 8) | c(x * y + seed);
            }
        }
    }
    std::vector<uint32_t> data;
    CAPixelBuffer buffer;
};

double channel(uint32_t p, int c) {
    return double((p >> c) & 0xFF);
}

// The exact result at target pixel (X, Y): the source moved by (x + fx/256, y + fy/256), sampled
// bilinearly with clear pixels outside it, at opacity alpha/256, over `below`.
double expected(const CAPixelBuffer& s, int X, int Y, int x, int y, int fx, int fy, int alpha,
                uint32_t below, int c) {
    auto at = [&](int k, int j) -> uint32_t {
        return k >= 0 && k < s.width && j >= 0 && j < s.height ? s.row(j)[k] : 0;
    };
    const double u = fx / 256.0, v = fy / 256.0, a = alpha / 256.0;
    const int k = X - x, j = Y - y;
    auto mix = [&](int ch) {
        return ((1 - u) * (1 - v) * channel(at(k, j), ch) +
                u * (1 - v) * channel(at(k - 1, j), ch) + (1 - u) * v * channel(at(k, j - 1), ch) +
                u * v * channel(at(k - 1, j - 1), ch)) *
               a;
    };
    return mix(c) + channel(below, c) * (1 - mix(24) / 255);
}

struct ShiftCase {
    bool opaque, over;
    int x, y, fx, fy, alpha;
};

TEST(CAPixelBlit, ShiftedImagesMatchExactBilinearBlendingToWithinTwoLevels) {
    const ShiftCase cases[] = {
        {true, false, 3, 2, 77, 190, 154},  {true, true, 3, 2, 77, 190, 154},
        {false, false, -2, 1, 200, 0, 256}, {true, true, 0, -3, 0, 128, 256},
        {true, false, 5, 5, 255, 1, 256},   {false, true, 1, 1, 128, 128, 100},
    };
    for (const ShiftCase& c : cases) {
        Pixels source(13, 9, 5, c.opaque);
        Pixels target(20, 16, 90, true);
        Pixels under(20, 16, 40, true);
        const std::vector<uint32_t> before = c.over ? under.data : target.data;
        const CAPixelRect clip{1, 1, 19, 15};
        if (c.over) {
            CAPixelDrawImageShiftedOver(target.buffer, clip, source.buffer, sourceOf(c.opaque), c.x,
                                        c.y, c.fx, c.fy, c.alpha, under.buffer, 0, 0);
        } else {
            CAPixelDrawImageShifted(target.buffer, clip, source.buffer, sourceOf(c.opaque), c.x,
                                    c.y, c.fx, c.fy, c.alpha);
        }
        for (int Y = 0; Y < 16; ++Y) {
            for (int X = 0; X < 20; ++X) {
                const uint32_t got = target.data[size_t(Y * 20 + X)];
                const bool inside = X >= 1 && X < 19 && Y >= 1 && Y < 15;
                for (int ch = 0; ch < 32; ch += 8) {
                    const double want = inside ? expected(source.buffer, X, Y, c.x, c.y, c.fx, c.fy,
                                                          c.alpha, before[size_t(Y * 20 + X)], ch)
                                               : channel(target.data[size_t(Y * 20 + X)], ch);
                    ASSERT_NEAR(channel(got, ch), want, 2.0)
                        << "case " << (&c - cases) << " pixel " << X << "," << Y << " shift " << ch;
                }
            }
        }
    }
}

TEST(CAPixelBlit, WholePixelMovesCopyOrBlendExactly) {
    Pixels source(4, 4, 3, true);
    Pixels target(8, 8, 50, true);
    CAPixelDrawImage(target.buffer, {0, 0, 8, 8}, source.buffer, CAPixelSource::Opaque, 2, 3, 256);
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 4; ++x) {
            EXPECT_EQ(target.data[size_t((y + 3) * 8 + x + 2)], source.data[size_t(y * 4 + x)]);
        }
    }
    Pixels clear(2, 2, 0, true);
    for (auto& p : clear.data) p = 0;
    const std::vector<uint32_t> before = target.data;
    CAPixelDrawImage(target.buffer, {0, 0, 8, 8}, clear.buffer, CAPixelSource::Translucent, 0, 0,
                     256);
    EXPECT_EQ(target.data, before);  // clear pixels change nothing
}

TEST(CAPixelBlit, APictureWhollyBesideTheClipLeavesOnlyThePictureBelowInTheClip) {
    Pixels source(2, 2, 3, true);
    Pixels target(12, 6, 50, true);
    Pixels under(12, 6, 20, true);
    const std::vector<uint32_t> before = target.data;
    const CAPixelRect clip{4, 1, 10, 5};
    // In the clip's rows but to its left, moved by a fraction so that it reaches column 0.
    CAPixelDrawImageShiftedOver(target.buffer, clip, source.buffer, CAPixelSource::Opaque, -3, 2,
                                100, 0, 256, under.buffer, 0, 0);
    for (int y = 0; y < 6; ++y) {
        for (int x = 0; x < 12; ++x) {
            const bool inside = x >= clip.x0 && x < clip.x1 && y >= clip.y0 && y < clip.y1;
            const size_t i = size_t(y * 12 + x);
            ASSERT_EQ(target.data[i], inside ? under.data[i] : before[i]) << x << "," << y;
        }
    }
}

// Whole-pixel draws at an opacity and fills of a translucent colour, over a target with detail,
// in rows of odd widths, against exact blending of premultiplied colour.
TEST(CAPixelBlit, TranslucentDrawsAndFillsMatchExactBlendingToWithinTwoLevels) {
    struct BlendCase {
        bool fill, opaque;
        int width, alpha;
    };
    const BlendCase cases[] = {
        {false, true, 7, 100}, {false, false, 9, 256}, {false, false, 5, 200},
        {false, true, 1, 255}, {true, false, 11, 256}, {true, false, 3, 256},
    };
    const uint32_t fillColor = CAPixelColor(0.9f, 0.3f, 0.6f, 0.7f, 0.8f);
    for (const BlendCase& c : cases) {
        Pixels source(c.width, 3, 17, c.opaque);
        Pixels target(16, 6, 60, false);
        const std::vector<uint32_t> before = target.data;
        if (c.fill) {
            CAPixelFill(target.buffer, {2, 1, 2 + c.width, 4}, fillColor);
        } else {
            CAPixelDrawImage(target.buffer, {0, 0, 16, 6}, source.buffer, sourceOf(c.opaque), 2, 1,
                             c.alpha);
        }
        for (int Y = 1; Y < 4; ++Y) {
            for (int X = 2; X < 2 + c.width; ++X) {
                const uint32_t s =
                    c.fill ? fillColor : source.data[size_t((Y - 1) * c.width + X - 2)];
                const uint32_t d = before[size_t(Y * 16 + X)];
                const double a = c.alpha / 256.0, cover = channel(s, 24) * a / 255;
                for (int ch = 0; ch < 32; ch += 8) {
                    ASSERT_NEAR(channel(target.data[size_t(Y * 16 + X)], ch),
                                channel(s, ch) * a + channel(d, ch) * (1 - cover), 2.0)
                        << "case " << (&c - cases) << " pixel " << X << "," << Y << " shift " << ch;
                }
            }
        }
    }
}

}  // namespace
