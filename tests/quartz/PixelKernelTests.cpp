// The SSE2 row kernels against the portable ones, which every build also holds: a picture must
// come out the same bit for bit whichever processor drew it. A build without SSE2 has only the
// portable kernels, so there is nothing here to compare.

#include "platform/quartz/CAPixelKernels.h"

#include <gtest/gtest.h>

#include <algorithm>
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
// every fraction met, blended over the target and over a picture below or written as they are;
// and walks of small steps longer than the chunks that the plain code reads a row in, whose
// fractions it works out again from each chunk's first pixel.
TEST(CAPixelKernels, SampleWalksToTheSamePixelsWithSse2AsWithPlainCode) {
    constexpr int kWidth = 40, kHeight = 30;
    const auto source = pixels(size_t(kWidth * kHeight), 9, false);
    const std::vector<int> few = {1, 2, 3, 7, 8, 13, 20}, many = {255, 257, 600};
    const struct {
        CAPixelWalk walk;
        const std::vector<int>& lengths;
    } walks[] = {
        {{2 << 16, 3 << 16, 60000, 17000}, few},
        {{30 << 16, 25 << 16, -41000, -23000}, few},
        {{5 << 16, 1 << 16, 65536, 0}, few},
        {{1 << 16, 27 << 16, 91750, -20000}, few},
        {{(7 << 16) + 999, 9 << 16, 257, 65535}, few},
        {{36 << 16, 2 << 16, -65536, 2222}, few},
        {{(1 << 16) + 77, (2 << 16) + 300, 3001, 1517}, many},
        {{(38 << 16) - 5, (28 << 16) - 9, -3001, -1517}, many},
    };
    for (size_t w = 0; w < std::size(walks); ++w) {
        const auto& [walk, lengths] = walks[w];
        for (int n : lengths) {
            const auto target = pixels(size_t(n), 10, false), below = pixels(size_t(n), 11, true);
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
                        << n << " pixels, walk " << w << ", alpha " << alpha << ", mode " << mode;
                }
            }
        }
    }
}

// A walk a whole pixel a step along a row, either way, as a page mirrored under a pull along a
// side is read, which is sampled a column at a time: the same pixels as the walk's samples blended
// at full opacity over a picture (which an opaque source hides, leaving the samples as they are),
// with every fraction, on a row of the source and between two, in rows of every length past the
// chunks the columns are mixed in.
TEST(CAPixelKernels, SampleWalksAlongARowAsTheyAreBlendedWithSse2AndWithPlainCode) {
    constexpr int kWidth = 600, kHeight = 6;
    const auto source = pixels(size_t(kWidth * kHeight), 16, true);
    const auto below = pixels(size_t(kWidth), 17, true);
    for (int32_t du : {65536, -65536}) {
        for (int32_t fx : {0, 1, 128, 255}) {
            for (int32_t fy : {0, 1, 77, 255}) {
                for (int n : {1, 2, 7, 8, 9, 255, 256, 257, 300, 513, kWidth - 2}) {
                    const int32_t u = (du > 0 ? 0 : kWidth - 2) * 65536 + (fx << 8);
                    const CAPixelWalk walk{u, (2 << 16) + (fy << 8), du, 0};
                    auto sample = [&](auto kernel, const uint32_t* under) {
                        std::vector<uint32_t> out(static_cast<size_t>(n));
                        kernel(out.data(), under, source.data(), kWidth, walk, n, 256);
                        return out;
                    };
                    const auto blended = sample(portable::sampleRow, below.data());
                    ASSERT_EQ(sample(sse2::sampleRow, below.data()), blended);
                    ASSERT_EQ(sample(portable::sampleRow, nullptr), blended)
                        << n << " pixels, du " << du << ", fx " << fx << ", fy " << fy;
                    ASSERT_EQ(sample(sse2::sampleRow, nullptr), blended)
                        << n << " pixels, du " << du << ", fx " << fx << ", fy " << fy;
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

// A page curl's table of `entries` entries, with offsets that carry some pixels' paper off a
// page of about 24 × 20 on every side. `extreme` takes the mix to its bounds: every channel's sum
// just within 16 bits, white up to most of them, and the lower layer's shade up to 256.
struct CurlTable {
    CurlTable(int entries, bool extreme) {
        for (int i = 0; i < entries; ++i) {
            offsets[0].push_back(-i * 52000 - 3000);
            offsets[1].push_back(i * 9000 - 170000);
            offsets[2].push_back(-i * 30000 + 5000);
            offsets[3].push_back(i * 4000 - 40000);
            const auto upper = uint32_t(extreme ? 200 - 5 * i : 120 + i), lower = uint32_t(i % 27);
            const uint32_t shade = extreme ? std::min(256u, uint32_t(90 + 5 * i)) : 90 + 4 * i;
            weights.push_back(upper | lower << 8 | shade << 16);
            whites.push_back(extreme ? 65535 - 255 * (upper + lower) - 37 * uint32_t(i)
                                     : uint32_t(128 + 150 * i));
        }
    }
    CAPixelCurlTable columns() const {
        return {offsets[0].data(), offsets[1].data(), offsets[2].data(),
                offsets[3].data(), weights.data(),    whites.data()};
    }
    std::vector<int32_t> offsets[4];
    std::vector<uint32_t> weights, whites;
};

// A cylinder's rows over a page, each kind of pixel met: both layers, the lower alone, and
// neither (among them pixels outside the silhouette, before the table's first entry), near every
// edge of the page; rows of every length up to a few steps of eight pixels, and so every
// remainder the plain loop finishes; with and without asking for the page's pixels ahead, within
// the page and past its ends, which must not change a pixel.
TEST(CAPixelKernels, CurlTheCylinderToTheSamePixelsWithSse2AsWithPlainCode) {
    constexpr int kWidth = 24, kHeight = 20, kEntries = 40, kLongest = 27;
    const auto page = pixels(size_t(kWidth * kHeight), 14, true);
    // The last row's lower layer shows alone where its shade reaches 256.
    const CAPixelCurlRow rows[] = {
        {0, 5, 0, 70000},       {3, 0, 65536, 40000},     {10, 19, 38 << 16, -110000},
        {0, 7, -100000, 50000}, {15, 12, 8 << 16, 30000}, {22, 18, 1 << 16, 65536},
        {18, 5, 34 << 16, 9000}};
    int done = 0, pixelsMet = 0;
    for (bool extreme : {false, true}) {
        const CurlTable table(kEntries, extreme);
        for (CAPixelCurlRow row : rows) {
            for (int32_t ahead : {0, 2 * kWidth - 2, -5 * kWidth * kHeight}) {
                row.ahead = ahead;
                for (int n = 1; n <= kLongest; ++n) {
                    auto curl = [&](auto kernel) {
                        const auto count = size_t(n);
                        std::vector<uint32_t> out(count);
                        std::vector<int32_t> done(count);
                        kernel(out.data(), done.data(), page.data(), kWidth, kWidth, kHeight,
                               table.columns(), row, n);
                        // What is not done means nothing.
                        for (size_t i = 0; i < out.size(); ++i) out[i] = done[i] ? out[i] : 0;
                        return std::make_pair(out, done);
                    };
                    const auto viaSse2 = curl(sse2::curlCylinderRow);
                    ASSERT_EQ(viaSse2, curl(portable::curlCylinderRow))
                        << n << " pixels from column " << row.x << " of row " << row.y
                        << ", extreme " << extreme << ", ahead " << ahead;
                    for (int32_t d : viaSse2.second) done += d;
                    pixelsMet += n;
                }
            }
        }
    }
    // Both the pixels the kernel takes and those it leaves were met.
    EXPECT_GT(done, 0);
    EXPECT_LT(done, pixelsMet);
}

// Paper whose taps and nearest pixel fall exactly on the page's edges, and a unit off them on
// either side, for every edge: offsets of whole pixels, anywhere across the page and a few pixels
// past it, give or take a unit, half a pixel or nothing, each pixel reading a whole entry, in
// many rows from a fixed sequence.
TEST(CAPixelKernels, CurlTheCylinderAtThePageEdgesToTheSamePixelsWithSse2AsWithPlainCode) {
    constexpr int kWidth = 13, kHeight = 11, kEntries = 48, n = 29, kRows = 3000;
    const auto page = pixels(size_t(kWidth * kHeight), 15, true);
    uint32_t state = 12345;
    auto next = [&state](int count) {
        state ^= state << 13, state ^= state >> 17, state ^= state << 5;
        return int(state % uint32_t(count));
    };
    const int32_t fractions[] = {-1, 0, 1, 0x7FFF, 0x8000, 0x8001};
    auto offset = [&](int size) {
        const int whole = next(2 * size + 7) - size - 3;
        return int32_t(whole * 65536 + fractions[next(6)]);
    };
    CurlTable table(kEntries, false);
    int done = 0;
    for (int r = 0; r < kRows; ++r) {
        // A table of its own for every row, for the pixels to meet every edge in every way.
        // Columns 1 and 3 are offsets down.
        for (int c = 0; c < 4; ++c) {
            for (int32_t& o : table.offsets[c]) o = offset(c % 2 ? kHeight : kWidth);
        }
        const CAPixelCurlRow row{next(kWidth + 8) - 4, next(kHeight + 8) - 4,
                                 next(kEntries - n - 1) << 16, 65536};
        auto curl = [&](auto kernel) {
            std::vector<uint32_t> out(n);
            std::vector<int32_t> done(n);
            kernel(out.data(), done.data(), page.data(), kWidth, kWidth, kHeight, table.columns(),
                   row, n);
            for (size_t i = 0; i < out.size(); ++i) out[i] = done[i] ? out[i] : 0;
            return std::make_pair(out, done);
        };
        const auto viaSse2 = curl(sse2::curlCylinderRow);
        ASSERT_EQ(viaSse2, curl(portable::curlCylinderRow))
            << "from column " << row.x << " of row " << row.y << ", f " << row.f;
        for (int32_t d : viaSse2.second) done += d;
    }
    EXPECT_GT(done, 0);
}

}  // namespace

#endif
