// The row kernels' one body, the kernels that CAPixelKernelSet.h declares, compiled once for each
// instruction set: a source file names the set's namespace with CA_KERNEL_NS, says with
// CA_KERNEL_SSE2 whether it may use SSE2 intrinsics, and includes this file once.
//
// Every kernel is a plain loop with no branch inside, over bytes, 16-bit lanes or whole pixels,
// written for the compiler to vectorise. Where hand-written SSE2 pays, that build runs SSE2 steps
// over the bulk of a row first (blending four pixels at a time widened to 16-bit channels,
// sampling two) and leaves the pixels over at the end to the plain loop, whose arithmetic is the
// same down to the saturation of a channel at 255. The loops that are the whole of a kernel
// (shifting, the four-tap and two-row mixes, the page curl's cylinder) are inlined into it, so
// that the SSE2 build can compile them twice, for AVX2 and for the baseline, and pick one when
// the library loads, while the portable build compiles them for the baseline alone.

#ifndef CA_KERNEL_NS
#error "CA_KERNEL_NS names the namespace of the kernels being built"
#endif

#include "platform/quartz/CAPixelKernels.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

#if CA_KERNEL_SSE2
#include <immintrin.h>
// A plain loop, compiled once more with AVX2 for processors that have it.
#define CA_KERNEL_CLONES __attribute__((target_clones("avx2", "default")))
#else
#define CA_KERNEL_CLONES
#endif

namespace CA_KERNEL_NS {
namespace {

// Pixels mixed at a time by mixOver before they are blended, kept on the stack.
constexpr int kChunk = 256;

// Asks the processor to bring the pixel `ahead` pixels on from `p` into its cache. The pixel may
// lie outside the source, where the request is dropped, so its address is reckoned as a number.
[[gnu::always_inline]] inline void prefetch(const uint32_t* p, int32_t ahead) {
    const auto address = reinterpret_cast<uintptr_t>(p) + uintptr_t(intptr_t(ahead) * 4);
    __builtin_prefetch(reinterpret_cast<const void*>(address));
}

// Moves `walk` on by `pixels` (back, if negative), wrapping as the steps' own sums do.
inline void advance(CAPixelWalk& walk, int pixels) {
    walk.u = int32_t(uint32_t(walk.u) + uint32_t(pixels) * uint32_t(walk.du));
    walk.v = int32_t(uint32_t(walk.v) + uint32_t(pixels) * uint32_t(walk.dv));
}

// dst[i] = src[i] at opacity `weight` over below[i]. Each channel is taken out of the 32-bit word
// and put back, so that the alpha is the top byte whatever the byte order, and the loop runs over
// whole pixels for the compiler to vectorise.
void overRow(uint32_t* dst, const uint32_t* below, const uint32_t* src, int n, uint32_t weight) {
    for (int i = 0; i < n; ++i) {
        const uint32_t s = src[i], b = below[i];
        const uint32_t inverse = 256 - (((s >> 24) * weight) >> 8);
        uint32_t out = 0;
        for (int c = 0; c < 32; c += 8) {
            const uint32_t v =
                ((((s >> c) & 0xFF) * weight) >> 8) + ((((b >> c) & 0xFF) * inverse) >> 8);
            out |= std::min(v, 255u) << c;
        }
        dst[i] = out;
    }
}

// The plain loops of the kernels.
namespace Loops {

// The loop of shiftRow.
[[gnu::always_inline]] inline void shiftRow(uint16_t* __restrict out,
                                            const uint32_t* __restrict src, int n, int w) {
    const auto* s = reinterpret_cast<const uint8_t*>(src);
    const uint16_t keep = uint16_t(256 - w), take = uint16_t(w);
    for (int c = 0; c < 4; ++c) out[c] = uint16_t((s[c] * keep + 128) >> 8);
    const int lanes = 4 * n;
    for (int l = 4; l < lanes; ++l) {
        out[l] = uint16_t((uint16_t(s[l] * keep) + uint16_t(s[l - 4] * take) + 128) >> 8);
    }
    for (int c = 0; c < 4; ++c) out[lanes + c] = uint16_t((s[lanes - 4 + c] * take + 128) >> 8);
}

// The loop of mixTapsLanes.
[[gnu::always_inline]] inline void mixTapsLanes(uint8_t* dst, const uint8_t* below,
                                                const uint8_t* __restrict rowJ,
                                                const uint8_t* __restrict rowJm1, int l0, int l1,
                                                CAPixelTaps t) {
    for (int l = l0; l < l1; ++l) {
        dst[l] = uint8_t((uint16_t(rowJ[l] * t.w00) + uint16_t(rowJ[l - 4] * t.w01) +
                          uint16_t(rowJm1[l] * t.w10) + uint16_t(rowJm1[l - 4] * t.w11) +
                          uint16_t(below[l] * t.keep) + 128) >>
                         8);
    }
}

// The loop of mixLanes.
[[gnu::always_inline]] inline void mixLanes(uint8_t* dst, const uint8_t* a,
                                            const uint8_t* __restrict b, int n, uint16_t wa,
                                            uint16_t wb, uint16_t bias) {
    for (int l = 0; l < n; ++l) {
        dst[l] = uint8_t((uint16_t(a[l] * wa) + uint16_t(b[l] * wb) + bias) >> 8);
    }
}

// Two channels of each of `a` and `b` (in the 0x00FF00FF lanes) weighted and summed with `bias`,
// then shifted down by 8.
[[gnu::always_inline]] inline uint32_t weighLanes(uint32_t a, uint32_t b, uint32_t wa, uint32_t wb,
                                                  uint32_t bias) {
    return ((a & 0x00FF00FFu) * wa + (b & 0x00FF00FFu) * wb + bias) >> 8 & 0x00FF00FFu;
}

// `a` moved toward `b` by w/256, each channel rounded (CAPixelSample::mix).
[[gnu::always_inline]] inline uint32_t mixPixels(uint32_t a, uint32_t b, uint32_t w) {
    return weighLanes(a, b, 256 - w, w, 0x00800080u) |
           weighLanes(a >> 8, b >> 8, 256 - w, w, 0x00800080u) << 8;
}

// Channel `a` moved toward `b` by w/256, rounded, in a 16-bit lane (mixPixels' arithmetic for a
// channel): every product and sum fits.
[[gnu::always_inline]] inline uint16_t mixChannel(uint16_t a, uint16_t b, uint16_t w) {
    return uint16_t(uint16_t(uint16_t(a * (256 - w)) + uint16_t(b * w) + 128) >> 8);
}

// The taps of each pixel of a chunk, as two pairs of pixels side by side in a row of the source,
// each read as one: what two-pass loops read in their first pass and mix in their second,
// channel by channel, where the compiler multiplies eight channels at once.
struct TapPairs {
    uint64_t upper[kChunk], lower[kChunk];

    // Pixel i's taps: the pair `upperPair` points to and the pair `lowerPair` points to.
    [[gnu::always_inline]] void put(int i, const uint32_t* upperPair, const uint32_t* lowerPair) {
        std::memcpy(&upper[i], upperPair, sizeof upper[i]);
        std::memcpy(&lower[i], lowerPair, sizeof lower[i]);
    }
    // Channel c of pixel i's bilinear sample, fx across and fy down.
    [[gnu::always_inline]] uint16_t sample(int i, int c, uint16_t fx, uint16_t fy) const {
        const auto* above = reinterpret_cast<const uint8_t*>(upper + i);
        const auto* below = reinterpret_cast<const uint8_t*>(lower + i);
        return mixChannel(mixChannel(above[c], below[c], fy),
                          mixChannel(above[4 + c], below[4 + c], fy), fx);
    }
};

// The pixel (of a chunk) that each of its channels' byte lanes belongs to: read from a table,
// eight lanes at a time, where the compiler would otherwise widen and narrow a counter.
constexpr auto kPixelOfLane = [] {
    std::array<uint16_t, 4 * kChunk> pixels{};
    for (int l = 0; l < 4 * kChunk; ++l) pixels[l] = uint16_t(l >> 2);
    return pixels;
}();

// The fraction, 0 to 255, of a 16.16 coordinate `step` × `pixel` on from `from` (its low 16
// bits). Only a coordinate's low 16 bits reach its fraction, so a walk's fractions are worked out
// in 16-bit lanes, eight channels at a time, rather than read and kept in the first pass.
[[gnu::always_inline]] inline uint16_t fractionAt(uint16_t from, uint16_t step, uint16_t pixel) {
    return uint16_t(uint16_t(from + uint16_t(pixel * step)) >> 8);
}

// The samples of a walk (see sampleRow), with 32-bit offsets into the source, into `out`, a
// chunk at a time: the taps read first, then mixed channel by channel at fractions worked out
// from the walk.
[[gnu::always_inline]] inline void samples(uint32_t* __restrict out,
                                           const uint32_t* __restrict source, int32_t stride,
                                           CAPixelWalk walk, int n) {
    int32_t u = walk.u, v = walk.v;
    const auto du = uint16_t(walk.du), dv = uint16_t(walk.dv);
    TapPairs taps;
    for (int start = 0; start < n; start += kChunk) {
        const int count = std::min(kChunk, n - start);
        const auto u0 = uint16_t(u), v0 = uint16_t(v);
        for (int i = 0; i < count; ++i, u += walk.du, v += walk.dv) {
            const uint32_t* upper = source + ((v >> 16) * stride + (u >> 16));
            const uint32_t* lower = upper + stride;
            prefetch(upper, walk.ahead);
            prefetch(lower, walk.ahead);
            taps.put(i, upper, lower);
        }
        auto* bytes = reinterpret_cast<uint8_t*>(out + start);
        for (int i = 0; i < count; ++i) {
            for (int c = 0; c < 4; ++c) {
                const uint16_t pixel = kPixelOfLane[4 * i + c];
                bytes[4 * i + c] = uint8_t(
                    taps.sample(i, c, fractionAt(u0, du, pixel), fractionAt(v0, dv, pixel)));
            }
        }
    }
}

// The samples of a walk that steps a whole pixel along a row of the source (du of `Step` pixels,
// dv of 0), as a page mirrored or laid straight is read under a pull along a side, whose
// fractions are then the same for every pixel: as samples() works them out, the two rows mixed
// down first, a chunk of columns at a time, each column once, then across. Where the walk keeps
// to a row of the source (fy of 0) the mix down changes nothing and is left out.
template <int Step>
[[gnu::always_inline]] inline void samplesAlongRow(uint32_t* __restrict out,
                                                   const uint32_t* __restrict upper,
                                                   const uint32_t* __restrict lower, uint32_t fx,
                                                   uint32_t fy, int n) {
    constexpr int kColumns = 256;
    uint32_t columns[kColumns + 1];
    for (int start = 0; start < n; start += kColumns) {
        const int count = std::min(kColumns, n - start);
        // The chunk's columns, leftmost first.
        const int first = Step > 0 ? start : -(start + count - 1);
        const uint32_t* a = upper + first;
        const uint32_t* c = fy ? columns : a;
        if (fy) {
            const uint32_t* b = lower + first;
            for (int j = 0; j <= count; ++j) columns[j] = mixPixels(a[j], b[j], fy);
        }
        for (int i = 0; i < count; ++i) {
            const int j = Step > 0 ? i : count - 1 - i;
            out[start + i] = mixPixels(c[j], c[j + 1], fx);
        }
    }
}

// The plain sampleRow: the samples, then their blend over `below` a chunk at a time.
[[gnu::always_inline]] inline void sampleRow(uint32_t* dst, const uint32_t* below,
                                             const uint32_t* __restrict source,
                                             std::ptrdiff_t stride, CAPixelWalk walk, int n,
                                             int alpha) {
    const auto rows = int32_t(stride);
    if (!below) return samples(dst, source, rows, walk, n);
    uint32_t sampled[kChunk];
    for (int start = 0; start < n; start += kChunk) {
        const int count = std::min(kChunk, n - start);
        const CAPixelWalk from{walk.u + start * walk.du, walk.v + start * walk.dv, walk.du, walk.dv,
                               walk.ahead};
        samples(sampled, source, rows, from, count);
        overRow(dst + start, below + start, sampled, count, uint32_t(alpha));
    }
}

// What a chunk of the cylinder's pixels read of the page, before it is mixed: each pixel's four
// taps and its lower layer's pixel, and in each of its channels' 16-bit lanes the weights of its
// mixes (the taps' fractions down and across, the sample's weight, the lower layer's and white's).
struct CurlReads {
    TapPairs taps;
    uint16_t down[4 * kChunk], across[4 * kChunk];
    uint32_t front[kChunk];
    uint16_t sample[4 * kChunk], layer[4 * kChunk], white[4 * kChunk];
};

// The first pass of curlCylinderRow, at most kChunk pixels. Every pixel is worked out, with its
// taps moved to the page's first pixel where they would fall outside it, and tested without
// branches, so that the compiler can vectorise the loop (gathering the taps with AVX2). Each
// pixel's lower taps and its lower layer's pixel go to `below` and `lower`, in the page's pixels.
[[gnu::always_inline]] inline void curlReads(CurlReads& r, int32_t* __restrict done,
                                             int32_t* __restrict below, int32_t* __restrict lowers,
                                             const uint32_t* __restrict page, int32_t stride,
                                             int32_t width, int32_t height,
                                             const CAPixelCurlTable& t, CAPixelCurlRow row, int n) {
    const int32_t maxX = (width - 1) << 16, maxY = (height - 1) << 16;
    const int32_t endX = (width << 16) - 0x8000, endY = (height << 16) - 0x8000;
    const int32_t y = row.y << 16;
    int32_t f = row.f, x = row.x << 16;
    auto tapsInside = [&](int32_t u, int32_t v) {
        return int32_t(u >= 0) & int32_t(v >= 0) & int32_t(u < maxX) & int32_t(v < maxY);
    };
    for (int i = 0; i < n; ++i, f += row.df, x += 65536) {
        // Pixels outside the silhouette (f below 0) read the first entry, and are not done.
        const int32_t g = std::max(f, 0);
        const int32_t k = g >> 16, w = (g >> 8) & 0xFF, nearest = k + (w >> 7);
        const int32_t ux = x + t.upperX[k] + (((t.upperX[k + 1] - t.upperX[k]) * w) >> 8);
        const int32_t uy = y + t.upperY[k] + (((t.upperY[k + 1] - t.upperY[k]) * w) >> 8);
        const int32_t lx = x + t.lowerX[nearest], ly = y + t.lowerY[nearest];
        // Both layers, the lower read from its nearest pixel; or the lower alone.
        const int32_t both = tapsInside(ux, uy) & int32_t(lx >= 0) & int32_t(ly >= 0) &
                             int32_t(lx + 0x8000 <= endX) & int32_t(ly + 0x8000 <= endY);
        const int32_t alone = (int32_t(ux <= -65536) | int32_t(uy <= -65536) |
                               int32_t(ux >= maxX + 65536) | int32_t(uy >= maxY + 65536)) &
                              tapsInside(lx, ly);
        const int32_t inside = int32_t(f >= 2 * 65536) & (both | alone);
        const int32_t pick = -both, keep = -inside;
        const int32_t sx = (ux & pick) | (lx & ~pick), sy = (uy & pick) | (ly & ~pick);
        const int32_t tap = ((sy >> 16) * stride + (sx >> 16)) & keep;
        const int32_t lower =
            (((ly + 0x8000) >> 16) * stride + ((lx + 0x8000) >> 16)) & pick & keep;
        r.taps.put(i, page + tap, page + tap + stride);
        const auto fx = uint16_t(uint32_t(sx >> 8) & 0xFF), fy = uint16_t(uint32_t(sy >> 8) & 0xFF);
        for (int c = 0; c < 4; ++c) r.across[4 * i + c] = fx, r.down[4 * i + c] = fy;
        r.front[i] = page[lower];
        const uint32_t weights = t.weights[nearest];
        const auto ws =
            uint16_t((weights & 0xFF & uint32_t(pick)) | (weights >> 16 & ~uint32_t(pick)));
        const auto wl = uint16_t(weights >> 8 & 0xFF & uint32_t(pick));
        const auto bias = uint16_t(t.mixWhite[nearest] & uint32_t(pick));
        // The alpha lane comes out 255: the page is opaque.
        constexpr int kAlpha = std::endian::native == std::endian::little ? 3 : 0;
        for (int c = 0; c < 4; ++c) {
            r.sample[4 * i + c] = c == kAlpha ? 0 : ws;
            r.layer[4 * i + c] = c == kAlpha ? 0 : wl;
            r.white[4 * i + c] = c == kAlpha ? 0xFF00 : bias;
        }
        done[i] = inside;
        below[i] = tap + stride;
        lowers[i] = lower;
    }
}

// The second pass of curlCylinderRow: the reads of `n` pixels mixed channel by channel, in
// 16-bit lanes where every product and sum fits (the table's weights are made so), with the
// arithmetic of mixPixels and weighLanes.
[[gnu::always_inline]] inline void curlMix(uint32_t* __restrict out, const CurlReads& r, int n) {
    auto* o = reinterpret_cast<uint8_t*>(out);
    const auto* front = reinterpret_cast<const uint8_t*>(r.front);
    for (int i = 0; i < n; ++i) {
        for (int c = 0; c < 4; ++c) {
            const int l = 4 * i + c;
            o[l] = uint8_t(
                uint16_t(uint16_t(r.taps.sample(i, c, r.across[l], r.down[l]) * r.sample[l]) +
                         uint16_t(front[l] * r.layer[l]) + r.white[l]) >>
                8);
        }
    }
}

}  // namespace Loops

// The plain mixOver, pixels [i, end). The rows are mixed lane by lane into bytes (with weights
// adding up to at most 256 a lane fits in one), which are then pixels in the same byte order.
void mixOverChunks(uint32_t* dst, const uint32_t* below, const uint16_t* lower,
                   const uint16_t* upper, int i, int end, int wLower, int wUpper) {
    uint32_t mixed[kChunk];
    auto* bytes = reinterpret_cast<uint8_t*>(mixed);
    for (; i < end; i += kChunk) {
        const int n = std::min(end - i, kChunk);
        const uint16_t* l = lower + 4 * i;
        const uint16_t* u = upper + 4 * i;
        for (int lane = 0; lane < 4 * n; ++lane) {
            bytes[lane] = uint8_t((l[lane] * wLower + u[lane] * wUpper + 128) >> 8);
        }
        overRow(dst + i, below + i, mixed, n, 256);
    }
}

#if CA_KERNEL_SSE2

// Channels widened to 16 bits, scaled by weights of 0 to 256.
inline __m128i scale16(__m128i channels, __m128i weight) {
    return _mm_srli_epi16(_mm_mullo_epi16(channels, weight), 8);
}

// Each pixel's alpha in all four of its channels.
inline __m128i alphas16(__m128i channels) {
    return _mm_shufflehi_epi16(_mm_shufflelo_epi16(channels, _MM_SHUFFLE(3, 3, 3, 3)),
                               _MM_SHUFFLE(3, 3, 3, 3));
}

// src over dst, both widened; src already at its opacity.
inline __m128i over16(__m128i src, __m128i dst) {
    const __m128i inverse = _mm_sub_epi16(_mm_set1_epi16(256), alphas16(src));
    return _mm_add_epi16(src, scale16(dst, inverse));
}

// (a (256 - w) + b w + 128) >> 8 in each 16-bit lane: a moved toward b by w/256, rounded. Every
// product and sum fits in 16 bits unsigned, so the low halves of the products are exact.
inline __m128i mix16(__m128i a, __m128i b, __m128i w) {
    const __m128i keep = _mm_sub_epi16(_mm_set1_epi16(256), w);
    const __m128i sum = _mm_add_epi16(_mm_mullo_epi16(a, keep), _mm_mullo_epi16(b, w));
    return _mm_srli_epi16(_mm_add_epi16(sum, _mm_set1_epi16(128)), 8);
}

// Two neighbouring pixels, in the low half.
inline __m128i loadPair(const uint32_t* p) {
    return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p));
}

// A 16-bit weight in every lane.
inline __m128i splat(int32_t weight) {
    return _mm_set1_epi16(static_cast<short>(weight));
}

// blendRow's SSE2 steps, four pixels at a time; answers how many pixels they blended.
int blendQuads(uint32_t* dst, const uint32_t* src, int n, int alpha) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i weight = _mm_set1_epi16(static_cast<short>(alpha));
    int i = 0;
    for (; i + 4 <= n; i += 4) {
        const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
        const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst + i));
        __m128i sLo = _mm_unpacklo_epi8(s, zero), sHi = _mm_unpackhi_epi8(s, zero);
        if (alpha < 256) sLo = scale16(sLo, weight), sHi = scale16(sHi, weight);
        const __m128i lo = over16(sLo, _mm_unpacklo_epi8(d, zero));
        const __m128i hi = over16(sHi, _mm_unpackhi_epi8(d, zero));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), _mm_packus_epi16(lo, hi));
    }
    return i;
}

// mixOver's SSE2 steps from pixel i, two pixels at a time; answers the pixel they stopped at.
int mixOverPairs(uint32_t* dst, const uint32_t* below, const uint16_t* lower, const uint16_t* upper,
                 int i, int end, int wLower, int wUpper) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i half = _mm_set1_epi16(128);
    const __m128i lowerWeight = _mm_set1_epi16(static_cast<short>(wLower));
    const __m128i upperWeight = _mm_set1_epi16(static_cast<short>(wUpper));
    for (; i + 2 <= end; i += 2) {
        const __m128i l = _mm_loadu_si128(reinterpret_cast<const __m128i*>(lower + 4 * i));
        const __m128i u = _mm_loadu_si128(reinterpret_cast<const __m128i*>(upper + 4 * i));
        const __m128i mixed =
            _mm_add_epi16(_mm_mullo_epi16(l, lowerWeight), _mm_mullo_epi16(u, upperWeight));
        const __m128i s = _mm_srli_epi16(_mm_add_epi16(mixed, half), 8);
        const __m128i d =
            _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(below + i)), zero);
        _mm_storel_epi64(reinterpret_cast<__m128i*>(dst + i), _mm_packus_epi16(over16(s, d), zero));
    }
    return i;
}

// sampleRow's SSE2 steps, two pixels at a time: each one's upper and lower pairs of taps are
// mixed down with its own vertical weight, then the two pixels' left and right taps side by side
// across with theirs. The walk is kept both in scalars, for the taps' addresses, and in a vector,
// for the weights. Answers how many pixels were sampled, and moves `walk` on past them.
int samplePairs(uint32_t* dst, const uint32_t* below, const uint32_t* source, std::ptrdiff_t stride,
                CAPixelWalk& walk, int n, int alpha) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i weight = splat(alpha);
    const __m128i fractionMask = _mm_set1_epi32(0xFF);
    // The two pixels' points, (u0, u1, v0, v1), and how far they move for the next two.
    __m128i points = _mm_set_epi32(walk.v + walk.dv, walk.v, walk.u + walk.du, walk.u);
    const __m128i steps = _mm_set_epi32(2 * walk.dv, 2 * walk.dv, 2 * walk.du, 2 * walk.du);
    int i = 0;
    for (; i + 2 <= n; i += 2) {
        const int32_t u0 = walk.u, v0 = walk.v, u1 = u0 + walk.du, v1 = v0 + walk.dv;
        walk.u = u1 + walk.du, walk.v = v1 + walk.dv;
        const uint32_t* p0 = source + std::ptrdiff_t(v0 >> 16) * stride + (u0 >> 16);
        const uint32_t* p1 = source + std::ptrdiff_t(v1 >> 16) * stride + (u1 >> 16);
        prefetch(p0, walk.ahead);
        prefetch(p0 + stride, walk.ahead);
        // The fractions' top 8 bits, fx0 fx0 fx1 fx1 fy0 fy0 fy1 fy1 as 16-bit lanes.
        const __m128i fractions = _mm_and_si128(_mm_srli_epi32(points, 8), fractionMask);
        const __m128i packed = _mm_packs_epi32(fractions, fractions);
        const __m128i pairs = _mm_unpacklo_epi16(packed, packed);
        points = _mm_add_epi32(points, steps);
        const __m128i upper = _mm_unpacklo_epi64(loadPair(p0), loadPair(p1));
        const __m128i lower = _mm_unpacklo_epi64(loadPair(p0 + stride), loadPair(p1 + stride));
        const __m128i first = mix16(_mm_unpacklo_epi8(upper, zero), _mm_unpacklo_epi8(lower, zero),
                                    _mm_shuffle_epi32(pairs, _MM_SHUFFLE(2, 2, 2, 2)));
        const __m128i second = mix16(_mm_unpackhi_epi8(upper, zero), _mm_unpackhi_epi8(lower, zero),
                                     _mm_shuffle_epi32(pairs, _MM_SHUFFLE(3, 3, 3, 3)));
        const __m128i across = _mm_shuffle_epi32(pairs, _MM_SHUFFLE(1, 1, 0, 0));
        __m128i s =
            mix16(_mm_unpacklo_epi64(first, second), _mm_unpackhi_epi64(first, second), across);
        if (below) {
            if (alpha < 256) s = scale16(s, weight);
            s = over16(s, _mm_unpacklo_epi8(loadPair(below + i), zero));
        }
        _mm_storel_epi64(reinterpret_cast<__m128i*>(dst + i), _mm_packus_epi16(s, zero));
    }
    return i;
}

// Whether this processor has AVX2, for the steps written for it.
bool hasAvx2() {
    static const bool avx2 = __builtin_cpu_supports("avx2");
    return avx2;
}

#define CA_AVX2 __attribute__((target("avx2")))

// mix16 in 256 bits for channels a and b of 0 to 255 and weights of 0 to 255, given as w << 7:
// (a (256 - w) + b w + 128) >> 8 is a + (((b - a) w + 128) >> 8), as 256 a drops out whole, and
// the rounding high multiplication works out ((b - a) (w << 7) + (1 << 14)) >> 15, the same, in
// one step.
CA_AVX2 inline __m256i mix16x2(__m256i a, __m256i b, __m256i w7) {
    return _mm256_add_epi16(a, _mm256_mulhrs_epi16(_mm256_sub_epi16(b, a), w7));
}

// Weights of 0 to 255 in 16-bit lanes as mix16x2 takes them.
CA_AVX2 inline __m256i weights7(__m256i w) {
    return _mm256_slli_epi16(w, 7);
}

// over16 in 256 bits, `src` already at its opacity.
CA_AVX2 inline __m256i over16x2(__m256i src, __m256i dst) {
    const __m256i alphas = _mm256_shufflehi_epi16(
        _mm256_shufflelo_epi16(src, _MM_SHUFFLE(3, 3, 3, 3)), _MM_SHUFFLE(3, 3, 3, 3));
    const __m256i inverse = _mm256_sub_epi16(_mm256_set1_epi16(256), alphas);
    return _mm256_add_epi16(src, _mm256_srli_epi16(_mm256_mullo_epi16(dst, inverse), 8));
}

// The neighbouring pixels at `a` and at `b`, side by side.
CA_AVX2 inline __m128i twoPairs(const uint32_t* a, const uint32_t* b) {
    const __m128i first = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(a));
    return _mm_castpd_si128(
        _mm_loadh_pd(_mm_castsi128_pd(first), reinterpret_cast<const double*>(b)));
}

// 16-bit lanes taking the bytes a, b, c and d of each 128-bit lane, four lanes each (their top
// bytes 0): a shuffle that spreads fractions, 32-bit values at bytes 0, 4, 8 and 12, to weights.
CA_AVX2 inline __m256i lanesOf(char a, char b, char c, char d) {
    constexpr char z = -128;  // a byte from nowhere: 0
    return _mm256_setr_epi8(a, z, a, z, a, z, a, z, b, z, b, z, b, z, b, z, c, z, c, z, c, z, c, z,
                            d, z, d, z, d, z, d, z);
}

// Four bilinear samples with samplePairs' arithmetic, from the pixels' upper and lower pairs of
// taps as [0 1 | 2 3] (four 16-bit lanes a pixel): each pair of 128-bit lanes is mixed down with
// its own vertical weight, `down` for pixels 0 and 2, `downNext` for 1 and 3, then every pixel's
// left and right taps across, by `across`, the weights as mix16x2 takes them. The samples come as
// [0 1 | 2 3], widened.
CA_AVX2 inline __m256i bilinearQuad(__m256i upper, __m256i lower, __m256i down, __m256i downNext,
                                    __m256i across) {
    const __m256i zero = _mm256_setzero_si256();
    // [0 left, 0 right | 2 left, 2 right] and [1 left, 1 right | 3 left, 3 right].
    const __m256i first =
        mix16x2(_mm256_unpacklo_epi8(upper, zero), _mm256_unpacklo_epi8(lower, zero), down);
    const __m256i second =
        mix16x2(_mm256_unpackhi_epi8(upper, zero), _mm256_unpackhi_epi8(lower, zero), downNext);
    return mix16x2(_mm256_unpacklo_epi64(first, second), _mm256_unpackhi_epi64(first, second),
                   across);
}

// The four pixels packed from 16-bit lanes as [0 1 | 2 3].
CA_AVX2 inline __m128i packQuad(__m256i channels) {
    // [0 1 0 1 | 2 3 2 3] as bytes; the first and third quarters hold the four pixels.
    const __m256i packed =
        _mm256_permute4x64_epi64(_mm256_packus_epi16(channels, channels), _MM_SHUFFLE(0, 0, 2, 0));
    return _mm256_castsi256_si128(packed);
}

// What sampleQuads does with its samples: writes them as they are, or blends them over the
// pixels below, at full opacity or at a fraction of it. Each is a loop of its own, so that no
// step asks again what the row already knows.
enum class QuadBlend { Replace, Over, FadedOver };

// 16-bit lanes taking the 16-bit values at bytes a, b, c and d of each 128-bit lane, four lanes
// each: values of up to 16 bits spread, as lanesOf spreads bytes.
CA_AVX2 inline __m256i wordsOf(char a, char b, char c, char d) {
    return _mm256_setr_epi8(a, char(a + 1), a, char(a + 1), a, char(a + 1), a, char(a + 1), b,
                            char(b + 1), b, char(b + 1), b, char(b + 1), b, char(b + 1), c,
                            char(c + 1), c, char(c + 1), c, char(c + 1), c, char(c + 1), d,
                            char(d + 1), d, char(d + 1), d, char(d + 1), d, char(d + 1));
}

// One step of sampleQuads: half `Half` of eight pixels (0 for the first four), whose offsets lie
// in `at` and whose weights lie in `down` and `across` as sampleQuads keeps them, sampled,
// blended and stored at `dst`.
template <QuadBlend Blend, int Half>
[[gnu::always_inline]] CA_AVX2 inline void sampleQuad(uint32_t* dst, const uint32_t* below,
                                                      const uint32_t* source, std::ptrdiff_t stride,
                                                      const int32_t* at, __m256i down,
                                                      __m256i across, __m256i weight) {
    // The pixels' offsets, and the bytes of their weights in each 128-bit lane.
    constexpr int k = 2 * Half, first = 8 * Half, second = first + 4;
    const uint32_t* lower = source + stride;
    const __m256i upperTaps = _mm256_inserti128_si256(
        _mm256_castsi128_si256(twoPairs(source + at[k], source + at[k + 1])),
        twoPairs(source + at[k + 4], source + at[k + 5]), 1);
    const __m256i lowerTaps =
        _mm256_inserti128_si256(_mm256_castsi128_si256(twoPairs(lower + at[k], lower + at[k + 1])),
                                twoPairs(lower + at[k + 4], lower + at[k + 5]), 1);
    __m256i s = bilinearQuad(upperTaps, lowerTaps,
                             _mm256_shuffle_epi8(down, wordsOf(first, first, first, first)),
                             _mm256_shuffle_epi8(down, wordsOf(second, second, second, second)),
                             _mm256_shuffle_epi8(across, wordsOf(first, second, first, second)));
    if constexpr (Blend != QuadBlend::Replace) {
        if constexpr (Blend == QuadBlend::FadedOver) {
            s = _mm256_srli_epi16(_mm256_mullo_epi16(s, weight), 8);
        }
        const __m128i under = _mm_loadu_si128(reinterpret_cast<const __m128i*>(below));
        s = over16x2(s, _mm256_cvtepu8_epi16(under));
    }
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst), packQuad(s));
}

// Eight offsets into a source, stored at `at` in memory: read from there, each is one load folded
// into the address of a tap, where taking it out of the register would cost two steps or three.
CA_AVX2 inline void storeOffsets(int32_t* at, __m256i offsets) {
    _mm256_store_si256(reinterpret_cast<__m256i*>(at), offsets);
    // Keeps the compiler from taking the offsets out of the register after all.
    asm("" : "+m"(*reinterpret_cast<int32_t(*)[8]>(at)));
}

// The offsets into the source, `rows` pixels a row, of the eight points (u, v), 16.16, into `at`.
CA_AVX2 inline void tapOffsets(int32_t* at, __m256i u, __m256i v, __m256i rows) {
    storeOffsets(at, _mm256_add_epi32(_mm256_mullo_epi32(_mm256_srai_epi32(v, 16), rows),
                                      _mm256_srai_epi32(u, 16)));
}

// The weights of eight 16.16 coordinates as mix16x2 takes them, each in the low 16 bits of its
// 32-bit lane: the top byte of the coordinate's low 16 bits, shifted up by 7.
CA_AVX2 inline __m256i weightsOf(__m256i coordinates) {
    return _mm256_and_si256(_mm256_srli_epi32(coordinates, 1), _mm256_set1_epi32(0x7F80));
}

// Asks for the pixel `offset` pixels on from the address `base` (a number, as prefetch reckons
// it): with the base worked out once a row, the request is one instruction.
[[gnu::always_inline]] inline void prefetchAt(uintptr_t base, int32_t offset) {
    __builtin_prefetch(reinterpret_cast<const void*>(base + uintptr_t(intptr_t(offset)) * 4));
}

// sampleRow's AVX2 steps, eight pixels at a time, with samplePairs' arithmetic: the offsets and
// weights of the eight pixels' taps are worked out together in vectors, and each half of them
// sampled by sampleQuad; a last step of four takes four of the pixels over. The eight pixels lie
// in those vectors as [0 1 4 5 | 2 3 6 7], so that each half, whose pairs of taps lie in the
// register as [0 1 | 2 3], finds its pixels' weights in the 128-bit lanes where they are mixed,
// and spreads them to its channels' lanes with one shuffle each: each pair of 128-bit lanes is
// mixed down with its own vertical weight, then every pixel's left and right taps across.
// Offsets fit in 32 bits, as the plain loop's do. Answers how many pixels were sampled, and moves
// `walk` on past them.
template <QuadBlend Blend>
CA_AVX2 int sampleQuadsAs(uint32_t* dst, const uint32_t* below, const uint32_t* source,
                          std::ptrdiff_t stride, CAPixelWalk& walk, int n, int alpha) {
    const __m256i weight = _mm256_set1_epi16(static_cast<short>(alpha));
    // The eight pixels' points, and how far they move for the next eight.
    const __m256i order = _mm256_setr_epi32(0, 1, 4, 5, 2, 3, 6, 7);
    __m256i u = _mm256_add_epi32(_mm256_set1_epi32(walk.u),
                                 _mm256_mullo_epi32(order, _mm256_set1_epi32(walk.du)));
    __m256i v = _mm256_add_epi32(_mm256_set1_epi32(walk.v),
                                 _mm256_mullo_epi32(order, _mm256_set1_epi32(walk.dv)));
    const __m256i uEight = _mm256_set1_epi32(int32_t(8 * uint32_t(walk.du)));
    const __m256i vEight = _mm256_set1_epi32(int32_t(8 * uint32_t(walk.dv)));
    const __m256i rows = _mm256_set1_epi32(int32_t(stride));
    // Where the pixels' taps lie a few rows on, for asking ahead.
    const uintptr_t soon =
        reinterpret_cast<uintptr_t>(source) + uintptr_t(intptr_t(walk.ahead) * 4);
    const uintptr_t soonLower = soon + uintptr_t(stride * 4);
    alignas(32) int32_t at[8];
    auto under = [below](int i) { return Blend == QuadBlend::Replace ? nullptr : below + i; };
    int i = 0;
    for (; i + 8 <= n; i += 8) {
        tapOffsets(at, u, v, rows);
        const __m256i down = weightsOf(v), across = weightsOf(u);
        u = _mm256_add_epi32(u, uEight), v = _mm256_add_epi32(v, vEight);
        prefetchAt(soon, at[0]);
        prefetchAt(soonLower, at[0]);
        sampleQuad<Blend, 0>(dst + i, under(i), source, stride, at, down, across, weight);
        prefetchAt(soon, at[2]);
        prefetchAt(soonLower, at[2]);
        sampleQuad<Blend, 1>(dst + i + 4, under(i + 4), source, stride, at, down, across, weight);
    }
    if (i + 4 <= n) {
        tapOffsets(at, u, v, rows);
        prefetchAt(soon, at[0]);
        prefetchAt(soonLower, at[0]);
        sampleQuad<Blend, 0>(dst + i, under(i), source, stride, at, weightsOf(v), weightsOf(u),
                             weight);
        i += 4;
    }
    advance(walk, i);
    return i;
}

// sampleQuadsAs for the blend that `below` and `alpha` ask for.
CA_AVX2 int sampleQuads(uint32_t* dst, const uint32_t* below, const uint32_t* source,
                        std::ptrdiff_t stride, CAPixelWalk& walk, int n, int alpha) {
    if (!below) {
        return sampleQuadsAs<QuadBlend::Replace>(dst, below, source, stride, walk, n, alpha);
    }
    if (alpha < 256) {
        return sampleQuadsAs<QuadBlend::FadedOver>(dst, below, source, stride, walk, n, alpha);
    }
    return sampleQuadsAs<QuadBlend::Over>(dst, below, source, stride, walk, n, alpha);
}

// What curlCylinderRow's AVX2 steps test a layer's paper against, in every lane: the row, and the
// page's bounds in 16.16 as the plain loop's comparisons take them.
struct CurlBounds {
    __m256i y, stride;
    __m256i lastX, lastY;  // the last top-left tap with all four taps inside
    __m256i endX, endY;    // the last centre inside
    __m256i goneX, goneY;  // the last top-left tap before the taps lie wholly off the page
};

CA_AVX2 inline CurlBounds curlBounds(int32_t y, int32_t stride, int32_t width, int32_t height) {
    const int32_t maxX = (width - 1) << 16, maxY = (height - 1) << 16;
    return {_mm256_set1_epi32(y << 16),
            _mm256_set1_epi32(stride),
            _mm256_set1_epi32(maxX - 1),
            _mm256_set1_epi32(maxY - 1),
            _mm256_set1_epi32((width << 16) - 0x8000),
            _mm256_set1_epi32((height << 16) - 0x8000),
            _mm256_set1_epi32(maxX + 65535),
            _mm256_set1_epi32(maxY + 65535)};
}

// All ones where one of the four taps from (u, v) lies outside the page.
CA_AVX2 inline __m256i tapsOutside(__m256i u, __m256i v, const CurlBounds& b) {
    const __m256i zero = _mm256_setzero_si256();
    return _mm256_or_si256(
        _mm256_or_si256(_mm256_cmpgt_epi32(zero, u), _mm256_cmpgt_epi32(zero, v)),
        _mm256_or_si256(_mm256_cmpgt_epi32(u, b.lastX), _mm256_cmpgt_epi32(v, b.lastY)));
}

// A table's column `c` at entries k, and w/256 of the way on to entries k + 1.
CA_AVX2 inline __m256i tableBetween(const int32_t* c, __m256i k, __m256i w) {
    const __m256i a = _mm256_i32gather_epi32(c, k, 4);
    const __m256i b = _mm256_i32gather_epi32(c + 1, k, 4);
    return _mm256_add_epi32(a, _mm256_srai_epi32(_mm256_mullo_epi32(_mm256_sub_epi32(b, a), w), 8));
}

// A table's column `c` at entries k.
CA_AVX2 inline __m256i tableAt(const void* c, __m256i k) {
    return _mm256_i32gather_epi32(static_cast<const int*>(c), k, 4);
}

// The offset into the page of the pixel that holds (x, y), 16.16.
CA_AVX2 inline __m256i pageOffset(__m256i x, __m256i y, const CurlBounds& b) {
    return _mm256_add_epi32(_mm256_mullo_epi32(_mm256_srai_epi32(y, 16), b.stride),
                            _mm256_srai_epi32(x, 16));
}

// Eight pixels of the cylinder up to their reads of the page, as the plain loop works them out:
// the offsets of each one's top-left tap and of the lower layer's nearest pixel (0 where
// unused), its sample's fractions, its mix (the sample's weight, the nearest pixel's and white's),
// and whether it is done (all ones).
struct CurlLanes {
    __m256i tap, lower, fx, fy, upperWeight, lowerWeight, white, done;
};

CA_AVX2 inline CurlLanes curlLanes(const CAPixelCurlTable& t, const CurlBounds& b, __m256i f,
                                   __m256i x) {
    const __m256i byte = _mm256_set1_epi32(0xFF), half = _mm256_set1_epi32(0x8000);
    // Pixels outside the silhouette (f below 0) read the first entry, and are not done.
    const __m256i g = _mm256_max_epi32(f, _mm256_setzero_si256());
    const __m256i k = _mm256_srai_epi32(g, 16);
    const __m256i w = _mm256_and_si256(_mm256_srli_epi32(g, 8), byte);
    const __m256i nearest = _mm256_add_epi32(k, _mm256_srli_epi32(w, 7));
    const __m256i ux = _mm256_add_epi32(x, tableBetween(t.upperX, k, w));
    const __m256i uy = _mm256_add_epi32(b.y, tableBetween(t.upperY, k, w));
    const __m256i lx = _mm256_add_epi32(x, tableAt(t.lowerX, nearest));
    const __m256i ly = _mm256_add_epi32(b.y, tableAt(t.lowerY, nearest));
    // The lower layer's nearest pixel: its centre, which must lie inside the page with both.
    const __m256i cx = _mm256_add_epi32(lx, half), cy = _mm256_add_epi32(ly, half);
    const __m256i zero = _mm256_setzero_si256();
    const __m256i centreOff = _mm256_or_si256(
        _mm256_or_si256(_mm256_cmpgt_epi32(zero, lx), _mm256_cmpgt_epi32(zero, ly)),
        _mm256_or_si256(_mm256_cmpgt_epi32(cx, b.endX), _mm256_cmpgt_epi32(cy, b.endY)));
    const __m256i both = _mm256_andnot_si256(_mm256_or_si256(tapsOutside(ux, uy, b), centreOff),
                                             _mm256_set1_epi32(-1));
    const __m256i before = _mm256_set1_epi32(-65535);
    const __m256i upperGone = _mm256_or_si256(
        _mm256_or_si256(_mm256_cmpgt_epi32(before, ux), _mm256_cmpgt_epi32(before, uy)),
        _mm256_or_si256(_mm256_cmpgt_epi32(ux, b.goneX), _mm256_cmpgt_epi32(uy, b.goneY)));
    const __m256i alone = _mm256_andnot_si256(tapsOutside(lx, ly, b), upperGone);
    const __m256i done = _mm256_and_si256(_mm256_cmpgt_epi32(f, _mm256_set1_epi32(2 * 65536 - 1)),
                                          _mm256_or_si256(both, alone));
    const __m256i sx = _mm256_blendv_epi8(lx, ux, both), sy = _mm256_blendv_epi8(ly, uy, both);
    const __m256i weights = tableAt(t.weights, nearest);
    return {
        _mm256_and_si256(pageOffset(sx, sy, b), done),
        _mm256_and_si256(pageOffset(cx, cy, b), _mm256_and_si256(both, done)),
        _mm256_and_si256(_mm256_srli_epi32(sx, 8), byte),
        _mm256_and_si256(_mm256_srli_epi32(sy, 8), byte),
        _mm256_blendv_epi8(_mm256_srli_epi32(weights, 16), _mm256_and_si256(weights, byte), both),
        _mm256_and_si256(_mm256_and_si256(_mm256_srli_epi32(weights, 8), byte), both),
        _mm256_and_si256(tableAt(t.mixWhite, nearest), both),
        done,
    };
}

// The order of the pixels in CurlLanes' lanes: [0 1 4 5 | 2 3 6 7], so that each 128-bit lane
// holds two pixels of each half of the eight, as the halves' samples lie ([0 1 | 2 3]).
CA_AVX2 inline __m256i curlOrder() {
    return _mm256_setr_epi32(0, 1, 4, 5, 2, 3, 6, 7);
}

// Four of the eight pixels of `lanes`, the first half of them or the second (`Second`), whose
// offsets, in the lanes' order, are `taps` and `lowers`: the upper layer's sample (or the lower
// layer's, alone) mixed with the lower layer's pixel and white, made opaque.
template <bool Second>
CA_AVX2 inline __m128i curlQuad(const uint32_t* page, std::ptrdiff_t stride, const int32_t* taps,
                                const int32_t* lowers, const CurlLanes& lanes) {
    constexpr char a = Second ? 8 : 0, b = char(a + 4);
    const int32_t at[4] = {taps[a / 4], taps[a / 4 + 1], taps[a / 4 + 4], taps[a / 4 + 5]};
    const __m256i upper =
        _mm256_inserti128_si256(_mm256_castsi128_si256(twoPairs(page + at[0], page + at[1])),
                                twoPairs(page + at[2], page + at[3]), 1);
    const __m256i lower = _mm256_inserti128_si256(
        _mm256_castsi128_si256(twoPairs(page + at[0] + stride, page + at[1] + stride)),
        twoPairs(page + at[2] + stride, page + at[3] + stride), 1);
    const __m256i sample =
        bilinearQuad(upper, lower, weights7(_mm256_shuffle_epi8(lanes.fy, lanesOf(a, a, a, a))),
                     weights7(_mm256_shuffle_epi8(lanes.fy, lanesOf(b, b, b, b))),
                     weights7(_mm256_shuffle_epi8(lanes.fx, lanesOf(a, b, a, b))));
    const int32_t* near = lowers + a / 4;
    const __m256i front = _mm256_cvtepu8_epi16(_mm_setr_epi32(
        int(page[near[0]]), int(page[near[1]]), int(page[near[4]]), int(page[near[5]])));
    const __m256i sum = _mm256_add_epi16(
        _mm256_add_epi16(
            _mm256_mullo_epi16(sample, _mm256_shuffle_epi8(lanes.upperWeight, wordsOf(a, b, a, b))),
            _mm256_mullo_epi16(front, _mm256_shuffle_epi8(lanes.lowerWeight, lanesOf(a, b, a, b)))),
        _mm256_shuffle_epi8(lanes.white, wordsOf(a, b, a, b)));
    return _mm_or_si128(packQuad(_mm256_srli_epi16(sum, 8)), _mm_set1_epi32(int(0xFF000000u)));
}

// One step of curlOctets: the eight pixels of `lanes` read from the page, mixed, and stored at
// `out` and `done`, with requests for the paper they read `ahead` pixels on.
CA_AVX2 inline void curlOctet(uint32_t* out, int32_t* done, const uint32_t* page, int32_t stride,
                              int32_t ahead, const CurlLanes& lanes) {
    alignas(32) int32_t taps[8], lowers[8];
    storeOffsets(taps, lanes.tap);
    storeOffsets(lowers, lanes.lower);
    if (ahead) {
        // A pixel's lower taps are the upper ones of the same paper a row later.
        alignas(32) int32_t tapsAhead[8], lowersAhead[8];
        storeOffsets(tapsAhead, _mm256_add_epi32(lanes.tap, _mm256_set1_epi32(ahead + stride)));
        storeOffsets(lowersAhead, _mm256_add_epi32(lanes.lower, _mm256_set1_epi32(ahead)));
        for (int j = 0; j < 8; ++j) {
            prefetch(page, tapsAhead[j]);
            prefetch(page, lowersAhead[j]);
        }
    }
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out),
                     curlQuad<false>(page, stride, taps, lowers, lanes));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 4),
                     curlQuad<true>(page, stride, taps, lowers, lanes));
    // The order is its own inverse.
    _mm256_storeu_si256(
        reinterpret_cast<__m256i*>(done),
        _mm256_permutevar8x32_epi32(_mm256_srli_epi32(lanes.done, 31), curlOrder()));
}

// curlCylinderRow's AVX2 steps, eight pixels at a time, with the plain loop's arithmetic: the
// table and the tests in 32-bit lanes, the page's taps read a pair at a time and mixed in 16-bit
// lanes, four pixels to a vector. A row of eight pixels or more is done whole, its last few
// pixels as the last eight. Answers how many pixels were done.
CA_AVX2 int curlOctets(uint32_t* out, int32_t* done, const uint32_t* page, int32_t stride,
                       int32_t width, int32_t height, const CAPixelCurlTable& t, CAPixelCurlRow row,
                       int n) {
    if (n < 8) return 0;
    const CurlBounds bounds = curlBounds(row.y, stride, width, height);
    const __m256i order = curlOrder();
    // Pixel k's f and x, 16.16, in the lanes' order, for the eight pixels from pixel `first`.
    const __m256i steps = _mm256_mullo_epi32(order, _mm256_set1_epi32(row.df));
    auto fFrom = [&row](int first) {
        return int32_t(uint32_t(row.f) + uint32_t(first) * uint32_t(row.df));
    };
    __m256i f = _mm256_add_epi32(_mm256_set1_epi32(fFrom(0)), steps);
    __m256i x = _mm256_slli_epi32(_mm256_add_epi32(_mm256_set1_epi32(row.x), order), 16);
    const __m256i fStep = _mm256_set1_epi32(8 * row.df), xStep = _mm256_set1_epi32(8 << 16);
    // Each step works out the next eight pixels' lanes before it reads the page for these: a
    // step's reads wait at the end of a long chain of its own, and one step is too long for the
    // processor to reach the next by itself and overlap the two.
    CurlLanes next = curlLanes(t, bounds, f, x);
    int i = 0;
    for (; i + 8 <= n; i += 8) {
        const CurlLanes lanes = next;
        f = _mm256_add_epi32(f, fStep), x = _mm256_add_epi32(x, xStep);
        if (i + 16 <= n) next = curlLanes(t, bounds, f, x);
        curlOctet(out + i, done + i, page, stride, row.ahead, lanes);
    }
    if (i < n) {
        // The pixels already done among the last eight come out the same again.
        const int last = n - 8;
        f = _mm256_add_epi32(_mm256_set1_epi32(fFrom(last)), steps);
        x = _mm256_slli_epi32(_mm256_add_epi32(_mm256_set1_epi32(row.x + last), order), 16);
        curlOctet(out + last, done + last, page, stride, row.ahead, curlLanes(t, bounds, f, x));
    }
    return n;
}

#undef CA_AVX2

#endif  // CA_KERNEL_SSE2

}  // namespace

const char* instructionSet() {
#if CA_KERNEL_SSE2
    return hasAvx2() ? "AVX2" : "SSE2";
#else
    return "portable";
#endif
}

void blendRow(uint32_t* dst, const uint32_t* src, int n, int alpha) {
    int i = 0;
#if CA_KERNEL_SSE2
    i = blendQuads(dst, src, n, alpha);
#endif
    overRow(dst + i, dst + i, src + i, n - i, uint32_t(std::min(alpha, 256)));
}

CA_KERNEL_CLONES void shiftRow(uint16_t* out, const uint32_t* src, int n, int w) {
    Loops::shiftRow(out, src, n, w);
}

void mixOver(uint32_t* dst, const uint32_t* below, const uint16_t* lower, const uint16_t* upper,
             int i, int end, int wLower, int wUpper) {
#if CA_KERNEL_SSE2
    i = mixOverPairs(dst, below, lower, upper, i, end, wLower, wUpper);
#endif
    mixOverChunks(dst, below, lower, upper, i, end, wLower, wUpper);
}

CA_KERNEL_CLONES void mixTapsLanes(uint8_t* dst, const uint8_t* below, const uint8_t* rowJ,
                                   const uint8_t* rowJm1, int l0, int l1, CAPixelTaps t) {
    Loops::mixTapsLanes(dst, below, rowJ, rowJm1, l0, l1, t);
}

namespace {

// sampleRow's samples, written as they are, of a walk along a row of the source, a whole pixel a
// step.
CA_KERNEL_CLONES void sampleAlongRow(uint32_t* dst, const uint32_t* source, std::ptrdiff_t stride,
                                     CAPixelWalk walk, int n) {
    const uint32_t* upper = source + std::ptrdiff_t(walk.v >> 16) * stride + (walk.u >> 16);
    const uint32_t fx = uint32_t(walk.u >> 8) & 0xFF, fy = uint32_t(walk.v >> 8) & 0xFF;
    if (walk.du > 0) {
        Loops::samplesAlongRow<1>(dst, upper, upper + stride, fx, fy, n);
    } else {
        Loops::samplesAlongRow<-1>(dst, upper, upper + stride, fx, fy, n);
    }
}

}  // namespace

void sampleRow(uint32_t* dst, const uint32_t* below, const uint32_t* source, std::ptrdiff_t stride,
               CAPixelWalk walk, int n, int alpha) {
    if (!below && walk.dv == 0 && (walk.du == 65536 || walk.du == -65536)) {
        return sampleAlongRow(dst, source, stride, walk, n);
    }
    int i = 0;
#if CA_KERNEL_SSE2
    if (hasAvx2()) {
        i = sampleQuads(dst, below, source, stride, walk, n, alpha);
        // The last few pixels as the row's last four, the ones already done coming out the same;
        // not where they were blended over themselves.
        if (i < n && n >= 4 && below != dst) {
            advance(walk, n - 4 - i);
            i = n - 4;
            i += sampleQuads(dst + i, below ? below + i : nullptr, source, stride, walk, 4, alpha);
        }
    }
    i += samplePairs(dst + i, below ? below + i : nullptr, source, stride, walk, n - i, alpha);
#endif
    if (i < n) {
        Loops::sampleRow(dst + i, below ? below + i : nullptr, source, stride, walk, n - i, alpha);
    }
}

CA_KERNEL_CLONES void mixLanes(uint8_t* dst, const uint8_t* a, const uint8_t* b, int n, uint16_t wa,
                               uint16_t wb, uint16_t bias) {
    Loops::mixLanes(dst, a, b, n, wa, wb, bias);
}

CA_KERNEL_CLONES void curlCylinderRow(uint32_t* out, int32_t* done, const uint32_t* page,
                                      int32_t stride, int32_t width, int32_t height,
                                      const CAPixelCurlTable& table, CAPixelCurlRow row, int n) {
    int i = 0;
#if CA_KERNEL_SSE2
    if (hasAvx2()) i = curlOctets(out, done, page, stride, width, height, table, row, n);
#endif
    // The rest (all of a row without AVX2, or shorter than eight pixels) in chunks, each followed
    // by its requests for the paper of later rows: in the loop they would keep the compiler from
    // vectorising it.
    for (; i < n; i += kChunk) {
        const int m = std::min(kChunk, n - i);
        int32_t below[kChunk], lowers[kChunk];
        Loops::CurlReads reads;
        const CAPixelCurlRow rest{row.x + i, row.y, row.f + i * row.df, row.df, row.ahead};
        Loops::curlReads(reads, done + i, below, lowers, page, stride, width, height, table, rest,
                         m);
        Loops::curlMix(out + i, reads, m);
        if (row.ahead == 0) continue;
        for (int j = 0; j < m; ++j) {
            // A pixel's lower taps are the upper ones of the same paper a row later.
            prefetch(page + below[j], row.ahead);
            prefetch(page + lowers[j], row.ahead);
        }
    }
}

}  // namespace CA_KERNEL_NS

#undef CA_KERNEL_CLONES
