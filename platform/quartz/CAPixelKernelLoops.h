#pragma once

// The row kernels that are plain loops in both builds: written once here and inlined where
// they are compiled, so that the SSE2 build can also compile them for AVX2 (its target clones)
// while the portable build compiles them for the baseline.

#include "platform/quartz/CAPixelKernels.h"

#include <algorithm>
#include <cstddef>

namespace CAPixelKernelLoops {

// See CAPixelKernelsPortable::shiftRow.
[[gnu::always_inline]] inline void shiftRow(uint16_t* __restrict out, const uint32_t* __restrict src,
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

// See CAPixelKernelsPortable::mixTapsLanes.
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

// See CAPixelKernelsPortable::mixLanes.
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

// The samples of a walk (see CAPixelKernelsPortable::sampleRow), with 32-bit offsets into the
// source so that the loop can be vectorised (gathering the taps), into `out`.
[[gnu::always_inline]] inline void samples(uint32_t* __restrict out,
                                           const uint32_t* __restrict source, int32_t stride,
                                           CAPixelWalk walk, int n) {
    int32_t u = walk.u, v = walk.v;
    for (int i = 0; i < n; ++i, u += walk.du, v += walk.dv) {
        const int32_t tap = (v >> 16) * stride + (u >> 16);
        const uint32_t fx = uint32_t(u >> 8) & 0xFF, fy = uint32_t(v >> 8) & 0xFF;
        const uint32_t left = mixPixels(source[tap], source[tap + stride], fy);
        const uint32_t right = mixPixels(source[tap + 1], source[tap + stride + 1], fy);
        out[i] = mixPixels(left, right, fx);
    }
}

// See CAPixelKernelsPortable::sampleRow: the samples, then their blend over `below` a chunk at a
// time.
[[gnu::always_inline]] inline void sampleRow(uint32_t* dst, const uint32_t* below,
                                             const uint32_t* __restrict source,
                                             std::ptrdiff_t stride, CAPixelWalk walk, int n,
                                             int alpha) {
    const auto rows = int32_t(stride);
    if (!below) return samples(dst, source, rows, walk, n);
    constexpr int kChunk = 256;
    uint32_t sampled[kChunk];
    const auto weight = uint32_t(alpha);
    for (int start = 0; start < n; start += kChunk) {
        const int count = std::min(kChunk, n - start);
        const CAPixelWalk from{walk.u + start * walk.du, walk.v + start * walk.dv, walk.du,
                               walk.dv};
        samples(sampled, source, rows, from, count);
        for (int i = 0; i < count; ++i) {
            const uint32_t s = sampled[i], b = below[start + i];
            const uint32_t inverse = 256 - ((((s >> 24) & 0xFF) * weight) >> 8);
            uint32_t out = 0;
            for (int c = 0; c < 32; c += 8) {
                const uint32_t channel =
                    ((((s >> c) & 0xFF) * weight) >> 8) + ((((b >> c) & 0xFF) * inverse) >> 8);
                out |= std::min(channel, 255u) << c;
            }
            dst[start + i] = out;
        }
    }
}

// See CAPixelKernelsPortable::curlCylinderRow. Every pixel is worked out, with its taps moved
// to the page's first pixel where they would fall outside it, and tested without branches, so
// that the compiler can vectorise the loop (gathering the taps with AVX2).
[[gnu::always_inline]] inline void curlCylinderRow(uint32_t* __restrict out,
                                                   int32_t* __restrict done,
                                                   const uint32_t* __restrict page, int32_t stride,
                                                   int32_t width, int32_t height,
                                                   const CAPixelCurlTable& t, CAPixelCurlRow row,
                                                   int n) {
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
        const uint32_t fx = uint32_t(sx >> 8) & 0xFF, fy = uint32_t(sy >> 8) & 0xFF;
        const uint32_t left = mixPixels(page[tap], page[tap + stride], fy);
        const uint32_t right = mixPixels(page[tap + 1], page[tap + stride + 1], fy);
        const uint32_t sample = mixPixels(left, right, fx);
        const uint32_t l = page[lower];
        const uint32_t weights = t.weights[nearest];
        const uint32_t ws = (weights & 0xFF & uint32_t(pick)) | (weights >> 16 & ~uint32_t(pick));
        const uint32_t wl = weights >> 8 & 0xFF & uint32_t(pick);
        const uint32_t bias = (t.mixWhite[nearest] & uint32_t(pick)) * 0x00010001u;
        out[i] = weighLanes(sample, l, ws, wl, bias) |
                 weighLanes(sample >> 8, l >> 8, ws, wl, bias) << 8 | 0xFF000000u;
        done[i] = inside;
    }
}

}  // namespace CAPixelKernelLoops
