// The row kernels with SSE2, for x86 processors. Blending works on four pixels at a time widened
// to 16-bit channels; the pixels left over at the end of a row go to the portable kernels, whose
// arithmetic is the same. Shifting and the four-tap mix are plain loops that the compiler
// vectorises, built twice: once for AVX2 and once for the baseline, picked when the library loads.

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

}  // namespace CAPixelKernelsSse2
