// The SSE2 row kernels against the portable ones, which every build also holds: a picture must
// come out the same bit for bit whichever processor drew it. A build without SSE2 has only the
// portable kernels, so there is nothing here to compare.

#include "platform/quartz/CAPixelKernels.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#if CORVANE_SIMD

namespace {

namespace portable = CAPixelKernelsPortable;
namespace sse2 = CAPixelKernelsSse2;

// Premultiplied pixels from a fixed sequence: every alpha (or all 255 when `opaque`), with
// colour channels anywhere from 0 to it.
std::vector<uint32_t> pixels(size_t n, uint32_t seed, bool opaque) {
    std::vector<uint32_t> out(n);
    uint32_t state = seed * 2654435761u + 1;
    auto next = [&state] {
        state ^= state << 13, state ^= state >> 17, state ^= state << 5;
        return state;
    };
    for (uint32_t& p : out) {
        const uint32_t a = opaque ? 255 : next() % 256;
        p = a << 24;
        for (int c = 0; c < 24; c += 8) p |= (next() % (a + 1)) << c;
    }
    return out;
}

// A row shifted by w/256 of a pixel, as the compositor keeps it for the vertical mix.
std::vector<uint16_t> shifted(const std::vector<uint32_t>& row, int w) {
    std::vector<uint16_t> out(4 * (row.size() + 1));
    portable::shiftRow(out.data(), row.data(), int(row.size()), w);
    return out;
}

// The bilinear taps of a move by (fx/256, fy/256) at opacity `alpha`, adding up to it.
CAPixelTaps taps(int fx, int fy, int alpha) {
    const int upper = (fy * alpha + 128) >> 8, lower = alpha - upper;
    const int w00 = (lower * (256 - fx) + 128) >> 8, w10 = (upper * (256 - fx) + 128) >> 8;
    return {uint16_t(w00), uint16_t(lower - w00), uint16_t(w10), uint16_t(upper - w10),
            uint16_t(256 - alpha)};
}

const int kAlphas[] = {1, 77, 128, 153, 255, 256};

TEST(CAPixelKernels, BlendRowsToTheSamePixelsWithSse2AsWithPlainCode) {
    for (int n = 0; n <= 37; ++n) {
        for (bool opaque : {true, false}) {
            for (int alpha : kAlphas) {
                const auto source = pixels(size_t(n), uint32_t(n), opaque);
                auto viaSse2 = pixels(size_t(n), uint32_t(n + 100), false), viaPortable = viaSse2;
                sse2::blendRow(viaSse2.data(), source.data(), n, alpha);
                portable::blendRow(viaPortable.data(), source.data(), n, alpha);
                ASSERT_EQ(viaSse2, viaPortable)
                    << n << " pixels, opaque " << opaque << ", alpha " << alpha;
            }
        }
    }
}

TEST(CAPixelKernels, ShiftRowsToTheSameLanesWithSse2AsWithPlainCode) {
    for (int n : {1, 2, 3, 4, 5, 8, 13, 33}) {
        for (bool opaque : {true, false}) {
            const auto row = pixels(size_t(n), uint32_t(n), opaque);
            for (int w = 0; w < 256; ++w) {
                std::vector<uint16_t> viaSse2(4 * size_t(n + 1)), viaPortable(viaSse2.size());
                sse2::shiftRow(viaSse2.data(), row.data(), n, w);
                portable::shiftRow(viaPortable.data(), row.data(), n, w);
                ASSERT_EQ(viaSse2, viaPortable) << n << " pixels, opaque " << opaque << ", w " << w;
            }
        }
    }
}

// `target` after `draw(pixels, below)`, drawn over `below` or, when that is null, over itself.
template <class Draw>
std::vector<uint32_t> drawnOnto(std::vector<uint32_t> target, const uint32_t* below, Draw draw) {
    draw(target.data(), below ? below : target.data());
    return target;
}

// Shifted rows mixed over the target itself and over a picture below, from either first pixel.
TEST(CAPixelKernels, MixShiftedRowsToTheSamePixelsWithSse2AsWithPlainCode) {
    for (int n : {1, 2, 5, 8, 19}) {
        for (bool opaque : {true, false}) {
            const auto lower = shifted(pixels(size_t(n), 1, opaque), 3 * n);
            const auto upper = shifted(pixels(size_t(n), 2, opaque), 200);
            const auto target = pixels(size_t(n + 1), 3, false),
                       below = pixels(size_t(n + 1), 4, true);
            for (int fy = 0; fy < 256; ++fy) {
                for (int alpha : kAlphas) {
                    const int wUpper = (fy * alpha + 128) >> 8, wLower = alpha - wUpper;
                    for (const uint32_t* under :
                         {static_cast<const uint32_t*>(nullptr), below.data()}) {
                        for (int first : {0, 1}) {
                            auto mix = [&](auto kernel) {
                                return drawnOnto(target, under,
                                                 [&](uint32_t* d, const uint32_t* b) {
                                                     kernel(d, b, lower.data(), upper.data(), first,
                                                            n + 1, wLower, wUpper);
                                                 });
                            };
                            ASSERT_EQ(mix(sse2::mixOver), mix(portable::mixOver))
                                << n << " pixels, opaque " << opaque << ", fy " << fy << ", alpha "
                                << alpha << ", from " << first << ", below " << bool(under);
                        }
                    }
                }
            }
        }
    }
}

// The four-tap sum of an opaque picture's inner pixels, over the target and over a picture below.
TEST(CAPixelKernels, WeighFourTapsToTheSamePixelsWithSse2AsWithPlainCode) {
    for (int n : {2, 3, 6, 21}) {
        const auto rowJ = pixels(size_t(n), 5, true), rowJm1 = pixels(size_t(n), 6, true);
        const auto target = pixels(size_t(n), 7, true), below = pixels(size_t(n), 8, true);
        for (int fx = 0; fx < 256; ++fx) {
            for (int fy = 0; fy < 256; fy += 15) {
                for (int alpha : kAlphas) {
                    for (const uint32_t* under :
                         {static_cast<const uint32_t*>(nullptr), below.data()}) {
                        auto mix = [&](auto kernel) {
                            return drawnOnto(target, under, [&](uint32_t* d, const uint32_t* b) {
                                kernel(reinterpret_cast<uint8_t*>(d),
                                       reinterpret_cast<const uint8_t*>(b),
                                       reinterpret_cast<const uint8_t*>(rowJ.data()),
                                       reinterpret_cast<const uint8_t*>(rowJm1.data()), 4, 4 * n,
                                       taps(fx, fy, alpha));
                            });
                        };
                        ASSERT_EQ(mix(sse2::mixTapsLanes), mix(portable::mixTapsLanes))
                            << n << " pixels, fx " << fx << ", fy " << fy << ", alpha " << alpha
                            << ", below " << bool(under);
                    }
                }
            }
        }
    }
}

// Walks through a picture at every kind of step (turned, scaled, mirrored, along an axis), with
// every fraction met, blended over the target and over a picture below or written as they are.
TEST(CAPixelKernels, SampleWalksToTheSamePixelsWithSse2AsWithPlainCode) {
    constexpr int kWidth = 40, kHeight = 30;
    const auto source = pixels(size_t(kWidth * kHeight), 9, false);
    const CAPixelWalk walks[] = {
        {2 << 16, 3 << 16, 60000, 17000},       {30 << 16, 25 << 16, -41000, -23000},
        {5 << 16, 1 << 16, 65536, 0},           {1 << 16, 27 << 16, 91750, -20000},
        {(7 << 16) + 999, 9 << 16, 257, 65535}, {36 << 16, 2 << 16, -65536, 2222},
    };
    for (int n : {1, 2, 3, 7, 20}) {
        const auto target = pixels(size_t(n), 10, false), below = pixels(size_t(n), 11, true);
        for (const CAPixelWalk& walk : walks) {
            for (int alpha : kAlphas) {
                for (int mode = 0; mode < 3; ++mode) {
                    auto draw = [&](auto kernel) {
                        auto out = target;
                        const uint32_t* under = mode == 0   ? nullptr
                                                : mode == 1 ? out.data()
                                                            : below.data();
                        kernel(out.data(), under, source.data(), kWidth, walk, n, alpha);
                        return out;
                    };
                    ASSERT_EQ(draw(sse2::sampleRow), draw(portable::sampleRow))
                        << n << " pixels, walk " << (&walk - walks) << ", alpha " << alpha
                        << ", mode " << mode;
                }
            }
        }
    }
}

TEST(CAPixelKernels, MixTwoRowsToTheSameLanesWithSse2AsWithPlainCode) {
    for (int n : {1, 3, 8, 17, 64}) {
        const auto a = pixels(size_t(n), 12, false), b = pixels(size_t(n), 13, true);
        for (uint16_t wa : {0, 1, 100, 200, 229}) {
            for (uint16_t wb : {0, 18, 26}) {
                auto mix = [&](auto kernel) {
                    auto out = a;
                    auto* bytes = reinterpret_cast<uint8_t*>(out.data());
                    kernel(bytes, bytes, reinterpret_cast<const uint8_t*>(b.data()), 4 * n, wa, wb,
                           uint16_t(128 + 7 * wb));
                    return out;
                };
                ASSERT_EQ(mix(sse2::mixLanes), mix(portable::mixLanes))
                    << n << " pixels, weights " << wa << ", " << wb;
            }
        }
    }
}

// A cylinder's row over a page, with offsets that carry some pixels' paper off the page on every
// side, so that each kind of pixel is met: both layers, the lower alone, and neither (among them
// pixels outside the silhouette, before the table's first entry).
TEST(CAPixelKernels, CurlTheCylinderToTheSamePixelsWithSse2AsWithPlainCode) {
    constexpr int kWidth = 24, kHeight = 20, kEntries = 40;
    const auto page = pixels(size_t(kWidth * kHeight), 14, true);
    std::vector<int32_t> offsets[4];
    std::vector<uint32_t> weights, whites;
    for (int i = 0; i < kEntries; ++i) {
        offsets[0].push_back(-i * 52000 - 3000);
        offsets[1].push_back(i * 9000 - 170000);
        offsets[2].push_back(-i * 30000 + 5000);
        offsets[3].push_back(i * 4000 - 40000);
        weights.push_back(uint32_t(120 + i) | uint32_t(i % 27) << 8 | uint32_t(90 + 4 * i) << 16);
        whites.push_back(uint32_t(128 + 150 * i));
    }
    const CAPixelCurlTable table{offsets[0].data(), offsets[1].data(), offsets[2].data(),
                                 offsets[3].data(), weights.data(),    whites.data()};
    constexpr int n = 20;
    int done = 0;
    const CAPixelCurlRow rows[] = {{0, 5, 0, 70000},
                                   {3, 0, 65536, 40000},
                                   {10, 19, 38 << 16, -110000},
                                   {0, 7, -100000, 50000}};
    for (const CAPixelCurlRow& row : rows) {
        auto curl = [&](auto kernel) {
            std::vector<uint32_t> out(n);
            std::vector<int32_t> done(n);
            kernel(out.data(), done.data(), page.data(), kWidth, kWidth, kHeight, table, row, n);
            // What is not done means nothing.
            for (int i = 0; i < n; ++i) out[size_t(i)] = done[size_t(i)] ? out[size_t(i)] : 0;
            return std::make_pair(out, done);
        };
        const auto viaSse2 = curl(sse2::curlCylinderRow);
        ASSERT_EQ(viaSse2, curl(portable::curlCylinderRow))
            << "row from column " << row.x << " of row " << row.y;
        for (int32_t d : viaSse2.second) done += d;
    }
    // Both the pixels the kernel takes and those it leaves were met.
    EXPECT_GT(done, 0);
    EXPECT_LT(done, n * 4);
}

}  // namespace

#endif
