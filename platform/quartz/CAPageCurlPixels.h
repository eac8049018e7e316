#pragma once

// The page curl's arithmetic on premultiplied ARGB32 pixels (cairo's image format), on 32-bit
// words two 8-bit channels at a time, and its bilinear reading of the page. Weights run from 0 to
// 256 for 0 to 1; a channel c scaled by k is (c k) >> 8.

#include "platform/quartz/CAPixelBlit.h"

#include <algorithm>
#include <cstdint>

namespace CAPageCurlPixels {

using Pixel = uint32_t;

// Black at `alpha` (0 to 255): a shadow.
inline Pixel shadow(uint32_t alpha) {
    return alpha << 24;
}

// `p` with every channel, alpha too, scaled by `k`.
inline Pixel scale(Pixel p, uint32_t k) {
    return (((p & 0x00FF00FFu) * k >> 8) & 0x00FF00FFu) |
           (((p >> 8) & 0x00FF00FFu) * k & 0xFF00FF00u);
}

// `p` with its colour channels scaled by `k` and its alpha kept: the paper darkened.
inline Pixel shade(Pixel p, uint32_t k) {
    return (((p & 0x00FF00FFu) * k >> 8) & 0x00FF00FFu) |
           (((p & 0x0000FF00u) * k >> 8) & 0x0000FF00u) | (p & 0xFF000000u);
}

// `a` moved toward `b` by `k`.
inline Pixel mix(Pixel a, Pixel b, uint32_t k) {
    const uint32_t j = 256 - k;
    const uint32_t rb = (((a & 0x00FF00FFu) * j + (b & 0x00FF00FFu) * k) >> 8) & 0x00FF00FFu;
    const uint32_t ag =
        (((a >> 8) & 0x00FF00FFu) * j + ((b >> 8) & 0x00FF00FFu) * k) & 0xFF00FF00u;
    return rb | ag;
}

// `top` laid over `bottom`.
inline Pixel over(Pixel top, Pixel bottom) {
    const uint32_t a = top >> 24;
    return top + scale(bottom, 256 - a - (a >> 7));
}

// `p` as seen on paper tinted and lit: each colour channel c becomes (c keep + alpha white) / 256,
// keep + white <= 256, so that the colour goes toward white as `white` grows and toward black as
// keep + white shrinks; then every channel is scaled by `opacity`.
inline Pixel tint(Pixel p, uint32_t keep, uint32_t white, uint32_t opacity) {
    const uint32_t light = (p >> 24) * white;
    const uint32_t rb = (((p & 0x00FF00FFu) * keep + light * 0x00010001u) >> 8) & 0x00FF00FFu;
    const uint32_t g = ((((p >> 8) & 0xFFu) * keep + light) & 0xFF00u);
    return scale(rb | g | (p & 0xFF000000u), opacity);
}

// The blend of four pixels: columns xa and xb (weighted by kx) of rows `ra` and `rb` (by ky).
// A pull straight along a side of the page reads its rows (or columns) whole, and skips a mix.
inline Pixel bilinear(const uint32_t* ra, const uint32_t* rb, int xa, int xb, uint32_t kx,
                      uint32_t ky) {
    const Pixel top = kx == 0 ? ra[xa] : mix(ra[xa], ra[xb], kx);
    if (ky == 0) return top;
    return mix(top, kx == 0 ? rb[xa] : mix(rb[xa], rb[xb], kx), ky);
}

}  // namespace CAPageCurlPixels

// Reads a page at any point, in pixel coordinates whose pixel centres lie at half-integers.
class CAPageCurlSampler {
public:
    using Pixel = CAPageCurlPixels::Pixel;

    explicit CAPageCurlSampler(const CAPixelBuffer& page)
        : page_(page), w_(page.width), h_(page.height) {}

    // How far (x, y) lies inside the page's rectangle; negative outside.
    double inside(double x, double y) const {
        return std::min(std::min(x, w_ - x), std::min(y, h_ - y));
    }

    // The page's pixel nearest to (x, y), for paper that hardly shows.
    Pixel nearest(double x, double y) const {
        const int column = std::clamp(int(std::clamp(x, 0.0, w_)), 0, page_.width - 1);
        const int row = std::clamp(int(std::clamp(y, 0.0, h_)), 0, page_.height - 1);
        return page_.row(row)[column];
    }

    // The page at (x, y), blended bilinearly between the four nearest pixel centres; the edge
    // pixels reach out to the rectangle's edge and past it.
    Pixel at(double x, double y) const {
        const double fx = std::clamp(x - 0.5, -1.0, w_), fy = std::clamp(y - 0.5, -1.0, h_);
        // Truncating a value made positive floors it.
        const int x0 = int(fx + 2) - 2, y0 = int(fy + 2) - 2;
        const auto kx = uint32_t((fx - x0) * 256), ky = uint32_t((fy - y0) * 256);
        const int xa = std::clamp(x0, 0, page_.width - 1);
        const int xb = std::clamp(x0 + 1, 0, page_.width - 1);
        const uint32_t* ra = page_.row(std::clamp(y0, 0, page_.height - 1));
        const uint32_t* rb = page_.row(std::clamp(y0 + 1, 0, page_.height - 1));
        return CAPageCurlPixels::bilinear(ra, rb, xa, xb, kx, ky);
    }

private:
    const CAPixelBuffer& page_;
    double w_, h_;
};
