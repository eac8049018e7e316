#include "platform/quartz/CAPixelBlit.h"

#include "platform/quartz/CAPixelKernels.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace {

// One pixel at a time, for the pixels near a source's edges. Two channels are handled at once in
// the 0x00FF00FF lanes of a 32-bit word; weights run from 0 to 256, as in the row kernels.
inline uint32_t scale(uint32_t p, uint32_t w) {
    return ((((p & 0x00FF00FFu) * w) >> 8) & 0x00FF00FFu) |
           ((((p >> 8) & 0x00FF00FFu) * w) & 0xFF00FF00u);
}

inline uint32_t over(uint32_t src, uint32_t dst) {
    return src + scale(dst, 256 - (src >> 24));
}

// The taps of a move by (fx/256, fy/256) at opacity `alpha`, rounded so that they add up to it.
CAPixelTaps tapsFor(int fx, int fy, int alpha) {
    const int rowJm1 = (fy * alpha + 128) >> 8, rowJ = alpha - rowJm1;
    const int w00 = (rowJ * (256 - fx) + 128) >> 8, w10 = (rowJm1 * (256 - fx) + 128) >> 8;
    return {uint16_t(w00), uint16_t(rowJ - w00), uint16_t(w10), uint16_t(rowJm1 - w10),
            uint16_t(256 - alpha)};
}

// Source pixel (k, j), clear outside the source.
uint32_t sample(const CAPixelBuffer& source, int k, int j) {
    return k >= 0 && k < source.width && j >= 0 && j < source.height ? source.row(j)[k] : 0;
}

// One output pixel from its four samples, any of which may lie outside the source, over `below`.
uint32_t mixOnePixel(const CAPixelBuffer& source, int k, int j, const CAPixelTaps& t,
                     uint32_t below) {
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
                      const CAPixelBuffer& source, CAPixelSource kind, int x, int y, int alpha) {
    if (alpha <= 0) return;
    const CAPixelRect area =
        CAPixelRect{x, y, x + source.width, y + source.height}.intersect(clip).intersect(
            {0, 0, target.width, target.height});
    if (area.isEmpty()) return;
    const int n = area.x1 - area.x0;
    for (int row = area.y0; row < area.y1; ++row) {
        uint32_t* dst = target.row(row) + area.x0;
        const uint32_t* src = source.row(row - y) + (area.x0 - x);
        if (kind == CAPixelSource::Opaque && alpha >= 256) {
            std::memcpy(dst, src, sizeof(uint32_t) * n);
        } else {
            CAPixelKernels::blendRow(dst, src, n, alpha);
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
                 CAPixelSource kind, int x, int y, int fx, int fy, int alpha,
                 const CAPixelBuffer* under, int ux, int uy) {
    const CAPixelRect bounds = clip.intersect({0, 0, target.width, target.height});
    if (bounds.isEmpty()) return;
    // The moved image covers one more column and row than the source when its fraction is not 0.
    const int w = source.width + (fx ? 1 : 0), h = source.height + (fy ? 1 : 0);
    CAPixelRect area = CAPixelRect{x, y, x + w, y + h}.intersect(bounds);
    // When nothing of the picture shows, every row is the picture below.
    if (alpha <= 0 || source.width <= 0 || source.height <= 0 || area.isEmpty()) area = {};
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
    const int wUpper = (fy * alpha + 128) >> 8, wLower = alpha - wUpper;
    const CAPixelTaps taps = tapsFor(fx, fy, alpha);
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
        const bool fullRow =
            kind == CAPixelSource::Opaque && j < source.height && (fy ? j >= 1 : j >= 0);
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
                CAPixelKernels::mixTapsLanes(reinterpret_cast<uint8_t*>(dst),
                                             reinterpret_cast<const uint8_t*>(below), rowJ, rowJm1,
                                             l0, 4 * b, taps);
            }
            for (int k = b; k < k1; ++k) dst[k] = mixOnePixel(source, k, j, taps, below[k]);
            continue;
        }
        const bool hasJ = j >= 0 && j < source.height;
        const bool hasJm1 = fy && j >= 1 && j - 1 < source.height;
        if (hasJ) CAPixelKernels::shiftRow(current, source.row(j), source.width, fx);
        if (hasJm1) CAPixelKernels::shiftRow(previous, source.row(j - 1), source.width, fx);
        CAPixelKernels::mixOver(dst, below, hasJ ? current : blank, hasJm1 ? previous : blank, k0,
                                k1, wLower, wUpper);
    }
}

}  // namespace

void CAPixelDrawImageShifted(const CAPixelBuffer& target, const CAPixelRect& clip,
                             const CAPixelBuffer& source, CAPixelSource kind, int x, int y, int fx,
                             int fy, int alpha) {
    drawShifted(target, clip, source, kind, x, y, fx, fy, alpha, nullptr, 0, 0);
}

void CAPixelDrawImageShiftedOver(const CAPixelBuffer& target, const CAPixelRect& clip,
                                 const CAPixelBuffer& source, CAPixelSource kind, int x, int y,
                                 int fx, int fy, int alpha, const CAPixelBuffer& under, int ux,
                                 int uy) {
    drawShifted(target, clip, source, kind, x, y, fx, fy, alpha, &under, ux, uy);
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
            CAPixelKernels::blendRow(dst, run.data(), n, 256);
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
