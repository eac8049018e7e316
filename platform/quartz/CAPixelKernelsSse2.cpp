// The row kernels with SSE2, for x86 processors. Blending works on four pixels at a time widened
// to 16-bit channels, and sampling on two; the pixels left over at the end of a row go to the
// portable kernels, whose arithmetic is the same. Shifting, the four-tap and two-row mixes and
// the page curl's cylinder are plain loops that the compiler vectorises, built twice: once for
// AVX2 and once for the baseline, picked when the library loads.

#include "platform/quartz/CAPixelKernelLoops.h"
#include "platform/quartz/CAPixelKernels.h"

#include <emmintrin.h>

namespace {

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

}  // namespace

namespace CAPixelKernelsSse2 {

void blendRow(uint32_t* dst, const uint32_t* src, int n, int alpha) {
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
    CAPixelKernelsPortable::blendRow(dst + i, src + i, n - i, alpha);
}

// The plain loop, compiled once more with AVX2 for processors that have it.
__attribute__((target_clones("avx2", "default"))) void shiftRow(uint16_t* out, const uint32_t* src,
                                                                int n, int w) {
    CAPixelKernelLoops::shiftRow(out, src, n, w);
}

void mixOver(uint32_t* dst, const uint32_t* below, const uint16_t* lower, const uint16_t* upper,
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
    CAPixelKernelsPortable::mixOver(dst, below, lower, upper, i, end, wLower, wUpper);
}

__attribute__((target_clones("avx2", "default"))) void mixTapsLanes(
    uint8_t* dst, const uint8_t* below, const uint8_t* rowJ, const uint8_t* rowJm1, int l0, int l1,
    CAPixelTaps t) {
    CAPixelKernelLoops::mixTapsLanes(dst, below, rowJ, rowJm1, l0, l1, t);
}

__attribute__((target_clones("avx2", "default"))) void mixLanes(uint8_t* dst, const uint8_t* a,
                                                                const uint8_t* b, int n,
                                                                uint16_t wa, uint16_t wb,
                                                                uint16_t bias) {
    CAPixelKernelLoops::mixLanes(dst, a, b, n, wa, wb, bias);
}

__attribute__((target_clones("avx2", "default"))) void curlCylinderRow(
    uint32_t* out, int32_t* done, const uint32_t* page, int32_t stride, int32_t width,
    int32_t height, const CAPixelCurlTable& table, CAPixelCurlRow row, int n) {
    CAPixelKernelLoops::curlCylinderRow(out, done, page, stride, width, height, table, row, n);
}

// Two pixels at a time: each one's upper and lower pairs of taps are mixed down with its own
// vertical weight, then the two pixels' left and right taps side by side across with theirs. The
// walk is kept both in scalars, for the taps' addresses, and in a vector, for the weights.
void sampleRow(uint32_t* dst, const uint32_t* below, const uint32_t* source, std::ptrdiff_t stride,
               CAPixelWalk walk, int n, int alpha) {
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
    if (i < n) {
        CAPixelKernelsPortable::sampleRow(dst + i, below ? below + i : nullptr, source, stride,
                                          walk, n - i, alpha);
    }
}

}  // namespace CAPixelKernelsSse2
