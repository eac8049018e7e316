#include "platform/quartz/CAPixelBlit.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include <emmintrin.h>

namespace {

// Scalar versions, for the pixels left over after the four-at-a-time loops. Two channels are
// handled at once in the 0x00FF00FF lanes of a 32-bit word; weights run from 0 to 256.
inline uint32_t scale(uint32_t p, uint32_t w) {
    return ((((p & 0x00FF00FFu) * w) >> 8) & 0x00FF00FFu) |
           ((((p >> 8) & 0x00FF00FFu) * w) & 0xFF00FF00u);
}

inline uint32_t over(uint32_t src, uint32_t dst) {
    return src + scale(dst, 256 - (src >> 24));
}

// SSE2 versions, on four pixels, widened to 16-bit channels two pixels at a time.
inline __m128i scale16(__m128i channels, __m128i weight) {
    return _mm_srli_epi16(_mm_mullo_epi16(channels, weight), 8);
}

inline __m128i alphas16(__m128i channels) {
    return _mm_shufflehi_epi16(_mm_shufflelo_epi16(channels, _MM_SHUFFLE(3, 3, 3, 3)),
                               _MM_SHUFFLE(3, 3, 3, 3));
}

// src over dst, both widened; src already at its opacity.
inline __m128i over16(__m128i src, __m128i dst) {
    const __m128i inverse = _mm_sub_epi16(_mm_set1_epi16(256), alphas16(src));
    return _mm_add_epi16(src, scale16(dst, inverse));
}

// Blends `n` source pixels at opacity `alpha` over `n` destination pixels.
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
    for (; i < n; ++i) dst[i] = over(alpha < 256 ? scale(src[i], alpha) : src[i], dst[i]);
}

// The row of a source `n` pixels wide moved right by w/256 of a pixel, widened to 16-bit channels
// (four a pixel): out[k] = (1 - w) * src[k] + w * src[k - 1] for k in [0, n], with the pixels
// outside [0, n) clear. Kept wide so that the vertical mix reads it without unpacking. Written
// channel by channel for the compiler to vectorise, once for AVX2 and once for the baseline.
__attribute__((target_clones("avx2", "default"))) void shiftRow(uint16_t* __restrict out,
                                                                const uint32_t* __restrict src,
                                                                int n, int w) {
    const auto* s = reinterpret_cast<const uint8_t*>(src);
    const uint16_t keep = uint16_t(256 - w), take = uint16_t(w);
    for (int c = 0; c < 4; ++c) out[c] = uint16_t((s[c] * keep + 128) >> 8);
    const int lanes = 4 * n;
    for (int l = 4; l < lanes; ++l) {
        out[l] = uint16_t((uint16_t(s[l] * keep) + uint16_t(s[l - 4] * take) + 128) >> 8);
    }
    for (int c = 0; c < 4; ++c) out[lanes + c] = uint16_t((s[lanes - 4 + c] * take + 128) >> 8);
}

// How a mixed row of shifted pixels goes onto the target: `lower` weighted wLower, `upper`
// weighted wUpper (the opacity folded in: the weights add up to it).
struct Mix {
    __m128i lower, upper;
    int wLower, wUpper;
};

// Pixels [i, end) where the mixed source may be partly transparent: a full "over".
void mixOver(uint32_t* dst, const uint32_t* below, const uint16_t* lower, const uint16_t* upper,
             int i, int end, const Mix& m) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i half = _mm_set1_epi16(128);
    for (; i + 2 <= end; i += 2) {
        const __m128i l = _mm_loadu_si128(reinterpret_cast<const __m128i*>(lower + 4 * i));
        const __m128i u = _mm_loadu_si128(reinterpret_cast<const __m128i*>(upper + 4 * i));
        const __m128i s = _mm_srli_epi16(
            _mm_add_epi16(_mm_add_epi16(_mm_mullo_epi16(l, m.lower), _mm_mullo_epi16(u, m.upper)),
                          half),
            8);
        const __m128i d =
            _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(below + i)), zero);
        _mm_storel_epi64(reinterpret_cast<__m128i*>(dst + i), _mm_packus_epi16(over16(s, d), zero));
    }
    for (; i < end; ++i) {
        uint32_t source = 0;
        for (int c = 0; c < 4; ++c) {
            const uint32_t v =
                (lower[4 * i + c] * m.wLower + upper[4 * i + c] * m.wUpper + 128) >> 8;
            source |= v << (8 * c);
        }
        dst[i] = over(source, below[i]);
    }
}

// The four weights of a bilinear sample, the opacity folded in: row j and row j - 1, each at
// columns k and k - 1; they add up to the opacity. `keep` is what stays of an opaque picture below.
struct Taps {
    uint16_t w00, w01, w10, w11, keep;
};

Taps tapsFor(int fx, int fy, int alpha) {
    const int rowJm1 = (fy * alpha + 128) >> 8, rowJ = alpha - rowJm1;
    const int w00 = (rowJ * (256 - fx) + 128) >> 8, w10 = (rowJm1 * (256 - fx) + 128) >> 8;
    return {uint16_t(w00), uint16_t(rowJ - w00), uint16_t(w10), uint16_t(rowJm1 - w10),
            uint16_t(256 - alpha)};
}

// Lanes [l0, l1) of an output row (l0 at least 4) where all four samples fall inside an opaque
// source: one weighted sum of the four source lanes and the picture below. `rowJ` and `rowJm1`
// are the source rows as bytes; lane l's left neighbour is lane l - 4.
__attribute__((target_clones("avx2", "default"))) void mixTapsLanes(
    uint8_t* dst, const uint8_t* below, const uint8_t* __restrict rowJ,
    const uint8_t* __restrict rowJm1, int l0, int l1, Taps t) {
    for (int l = l0; l < l1; ++l) {
        dst[l] = uint8_t((uint16_t(rowJ[l] * t.w00) + uint16_t(rowJ[l - 4] * t.w01) +
                          uint16_t(rowJm1[l] * t.w10) + uint16_t(rowJm1[l - 4] * t.w11) +
                          uint16_t(below[l] * t.keep) + 128) >>
                         8);
    }
}

// Source pixel (k, j), clear outside the source.
uint32_t sample(const CAPixelBuffer& source, int k, int j) {
    return k >= 0 && k < source.width && j >= 0 && j < source.height ? source.row(j)[k] : 0;
}

// One output pixel from its four samples, any of which may lie outside the source, over `below`.
uint32_t mixOnePixel(const CAPixelBuffer& source, int k, int j, const Taps& t, uint32_t below) {
    const uint32_t p00 = sample(source, k, j), p01 = sample(source, k - 1, j);
    const uint32_t p10 = sample(source, k, j - 1), p11 = sample(source, k - 1, j - 1);
    uint32_t result = 0;
    for (int c = 0; c < 32; c += 8) {
        const uint32_t v = (((p00 >> c) & 0xFF) * t.w00 + ((p01 >> c) & 0xFF) * t.w01 +
                            ((p10 >> c) & 0xFF) * t.w10 + ((p11 >> c) & 0xFF) * t.w11 + 128) >>
                           8;
        result |= v << c;
    }
    return over(result, below);
}

}  // namespace

CAPixelRect CAPixelRect::intersect(const CAPixelRect& o) const {
    return {std::max(x0, o.x0), std::max(y0, o.y0), std::min(x1, o.x1), std::min(y1, o.y1)};
}

void CAPixelDrawImage(const CAPixelBuffer& target, const CAPixelRect& clip,
                      const CAPixelBuffer& source, bool sourceOpaque, int x, int y, int alpha) {
    if (alpha <= 0) return;
    const CAPixelRect area =
        CAPixelRect{x, y, x + source.width, y + source.height}.intersect(clip).intersect(
            {0, 0, target.width, target.height});
    if (area.isEmpty()) return;
    const int n = area.x1 - area.x0;
    for (int row = area.y0; row < area.y1; ++row) {
        uint32_t* dst = target.row(row) + area.x0;
        const uint32_t* src = source.row(row - y) + (area.x0 - x);
        if (sourceOpaque && alpha >= 256) {
            std::memcpy(dst, src, sizeof(uint32_t) * n);
        } else {
            blendRow(dst, src, n, alpha);
        }
    }
}

namespace {

// Copies columns [x0, x1) of target row `row` from `under`, placed at (ux, uy).
void copyUnder(const CAPixelBuffer& target, const CAPixelBuffer& under, int ux, int uy, int row,
               int x0, int x1) {
    if (x1 > x0) {
        std::memcpy(target.row(row) + x0, under.row(row - uy) + (x0 - ux),
                    sizeof(uint32_t) * size_t(x1 - x0));
    }
}

// The shifted draw, over the target's pixels or, with `under`, over a picture that is copied into
// the target on the way (so the target's pixels are written once).
void drawShifted(const CAPixelBuffer& target, const CAPixelRect& clip, const CAPixelBuffer& source,
                 bool sourceOpaque, int x, int y, int fx, int fy, int alpha,
                 const CAPixelBuffer* under, int ux, int uy) {
    const CAPixelRect bounds = clip.intersect({0, 0, target.width, target.height});
    if (bounds.isEmpty()) return;
    // The moved image covers one more column and row than the source when its fraction is not 0.
    const int w = source.width + (fx ? 1 : 0), h = source.height + (fy ? 1 : 0);
    CAPixelRect area = CAPixelRect{x, y, x + w, y + h}.intersect(bounds);
    if (alpha <= 0 || source.width <= 0 || source.height <= 0) area = {};
    if (under) {
        for (int row = bounds.y0; row < bounds.y1; ++row) {
            if (row < area.y0 || row >= area.y1) {
                copyUnder(target, *under, ux, uy, row, bounds.x0, bounds.x1);
            } else {
                copyUnder(target, *under, ux, uy, row, bounds.x0, area.x0);
                copyUnder(target, *under, ux, uy, row, area.x1, bounds.x1);
            }
        }
    }
    if (area.isEmpty()) return;
    alpha = std::min(alpha, 256);
    Mix m;
    m.wUpper = (fy * alpha + 128) >> 8;
    m.wLower = alpha - m.wUpper;
    m.lower = _mm_set1_epi16(static_cast<short>(m.wLower));
    m.upper = _mm_set1_epi16(static_cast<short>(m.wUpper));
    const Taps taps = tapsFor(fx, fy, alpha);
    // Output row y + j mixes source rows j (weight 256 - fy) and j - 1 (weight fy), each moved
    // right by fx/256. Rows and columns whose taps all fall inside an opaque source (all but the
    // edges, for a picture of the screen) take one weighted sum; the rest blend pixel by pixel.
    const size_t rowLength = (static_cast<size_t>(source.width) + 1) * 4;
    thread_local std::vector<uint16_t> buffers;
    buffers.assign(rowLength * 3, 0);
    uint16_t* current = buffers.data();
    uint16_t* previous = current + rowLength;
    const uint16_t* blank = previous + rowLength;
    const int firstFull = fx ? 1 : 0, lastFull = source.width - 1;
    const int k0 = area.x0 - x, k1 = area.x1 - x;
    for (int row = area.y0; row < area.y1; ++row) {
        const int j = row - y;
        // Both indexed by the source column k: pixel k lies at target column x + k.
        uint32_t* dst = target.row(row) + x;
        const uint32_t* below = under ? under->row(row - uy) + (x - ux) : dst;
        const bool fullRow = sourceOpaque && j < source.height && (fy ? j >= 1 : j >= 0);
        if (fullRow) {
            const int a = std::clamp(firstFull, k0, k1), b = std::clamp(lastFull + 1, a, k1);
            for (int k = k0; k < a; ++k) dst[k] = mixOnePixel(source, k, j, taps, below[k]);
            // Without a vertical fraction row j - 1 has no weight; row j stands in for it.
            const auto* rowJ = reinterpret_cast<const uint8_t*>(source.row(j));
            const auto* rowJm1 = fy ? reinterpret_cast<const uint8_t*>(source.row(j - 1)) : rowJ;
            // Column k - 1 is read even without weight: the first column is done on its own.
            const int l0 = std::max(4 * a, 4);
            for (int k = a; k < std::min(b, l0 / 4); ++k) {
                dst[k] = mixOnePixel(source, k, j, taps, below[k]);
            }
            if (b > l0 / 4) {
                mixTapsLanes(reinterpret_cast<uint8_t*>(dst),
                             reinterpret_cast<const uint8_t*>(below), rowJ, rowJm1, l0, 4 * b,
                             taps);
            }
            for (int k = b; k < k1; ++k) dst[k] = mixOnePixel(source, k, j, taps, below[k]);
            continue;
        }
        const bool hasJ = j >= 0 && j < source.height;
        const bool hasJm1 = fy && j >= 1 && j - 1 < source.height;
        if (hasJ) shiftRow(current, source.row(j), source.width, fx);
        if (hasJm1) shiftRow(previous, source.row(j - 1), source.width, fx);
        mixOver(dst, below, hasJ ? current : blank, hasJm1 ? previous : blank, k0, k1, m);
    }
}

}  // namespace

void CAPixelDrawImageShifted(const CAPixelBuffer& target, const CAPixelRect& clip,
                             const CAPixelBuffer& source, bool sourceOpaque, int x, int y, int fx,
                             int fy, int alpha) {
    drawShifted(target, clip, source, sourceOpaque, x, y, fx, fy, alpha, nullptr, 0, 0);
}

void CAPixelDrawImageShiftedOver(const CAPixelBuffer& target, const CAPixelRect& clip,
                                 const CAPixelBuffer& source, bool sourceOpaque, int x, int y,
                                 int fx, int fy, int alpha, const CAPixelBuffer& under, int ux,
                                 int uy) {
    drawShifted(target, clip, source, sourceOpaque, x, y, fx, fy, alpha, &under, ux, uy);
}

void CAPixelFill(const CAPixelBuffer& target, const CAPixelRect& rect, uint32_t color) {
    const CAPixelRect area = rect.intersect({0, 0, target.width, target.height});
    if (area.isEmpty() || color == 0) return;
    const int n = area.x1 - area.x0;
    thread_local std::vector<uint32_t> run;
    run.assign(static_cast<size_t>(n), color);
    for (int row = area.y0; row < area.y1; ++row) {
        uint32_t* dst = target.row(row) + area.x0;
        if ((color >> 24) == 0xFF) {
            std::memcpy(dst, run.data(), sizeof(uint32_t) * n);
        } else {
            blendRow(dst, run.data(), n, 256);
        }
    }
}

void CAPixelClear(const CAPixelBuffer& target, uint32_t color) {
    for (int row = 0; row < target.height; ++row) {
        std::fill(target.row(row), target.row(row) + target.width, color);
    }
}

uint32_t CAPixelColor(float red, float green, float blue, float alpha, float opacity) {
    const float a = std::clamp(alpha * opacity, 0.f, 1.f);
    auto channel = [a](float c) {
        return static_cast<uint32_t>(std::lround(std::clamp(c, 0.f, 1.f) * a * 255));
    };
    return (static_cast<uint32_t>(std::lround(a * 255)) << 24) | (channel(red) << 16) |
           (channel(green) << 8) | channel(blue);
}
