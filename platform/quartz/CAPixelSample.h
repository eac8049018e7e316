#pragma once

// One bilinear sample and its blend, a pixel at a time, with the arithmetic of the sampling row
// kernels (CAPixelKernels sampleRow): the portable kernel is built from these, and the pixels that
// a kernel cannot take (near a source's edges, where taps are clamped) use them too, so that a
// picture has no seam where the kernel's pixels meet them. The four channels are handled at once
// in the 16-bit lanes of a 64-bit word; weights run from 0 to 256.

#include "platform/quartz/CAPixelBlit.h"
#include "platform/quartz/CAPixelKernels.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace CAPixelSample {

// A pixel's four channels spread to the four 16-bit lanes of a 64-bit word (bytes 0 and 2 in
// the low lanes, 1 and 3 in the high ones), where a channel times a weight of up to 256 fits, and
// back.
constexpr uint64_t kLanes = 0x00FF00FF00FF00FFull;
inline uint64_t spread(uint32_t p) {
    return (p & 0x00FF00FFu) | uint64_t(p & 0xFF00FF00u) << 24;
}
inline uint32_t gather(uint64_t lanes) {
    return uint32_t(lanes & 0x00FF00FFu) | (uint32_t(lanes >> 24) & 0xFF00FF00u);
}

// Spread pixels `a` moved toward `b` by w/256, each channel rounded.
inline uint64_t mixLanes(uint64_t a, uint64_t b, uint64_t w) {
    return ((a * (256 - w) + b * w + 0x0080008000800080ull) >> 8) & kLanes;
}

// `a` moved toward `b` by w/256, each channel rounded.
inline uint32_t mix(uint32_t a, uint32_t b, uint32_t w) {
    return gather(mixLanes(spread(a), spread(b), w));
}

// The sample of taps p00 (upper left), p01 (upper right), p10 and p11 (lower) at fractions fx
// across and fy down (0 to 255): down each column first, then across; spread, or as a pixel.
inline uint64_t bilinearLanes(uint32_t p00, uint32_t p01, uint32_t p10, uint32_t p11, uint32_t fx,
                              uint32_t fy) {
    return mixLanes(mixLanes(spread(p00), spread(p10), fy), mixLanes(spread(p01), spread(p11), fy),
                    fx);
}
inline uint32_t bilinear(uint32_t p00, uint32_t p01, uint32_t p10, uint32_t p11, uint32_t fx,
                         uint32_t fy) {
    return gather(bilinearLanes(p00, p01, p10, p11, fx, fy));
}

// `src` (spread, or as a pixel) at opacity `alpha` (0 to 256) over `below`: each channel c of the
// source becomes (c alpha) >> 8, and below's channels are scaled by 256 less the result's alpha;
// the sum saturates at 255.
inline uint32_t overLanes(uint64_t src, uint32_t below, uint32_t alpha) {
    const uint64_t keep = 256 - (((src >> 48) * alpha) >> 8);
    const uint64_t sum = ((src * alpha >> 8) & kLanes) + ((spread(below) * keep >> 8) & kLanes);
    // A lane of 256 or more is 255.
    return gather((sum | ((sum >> 8) & 0x0001000100010001ull) * 0xFF) & kLanes);
}
inline uint32_t over(uint32_t src, uint32_t below, uint32_t alpha) {
    return overLanes(spread(src), below, alpha);
}

// std::llround for values well inside int64_t's range (below 2^52 either way), exact, and without
// the library call: every row of a transformed picture takes four.
inline int64_t roundToInt64(double x) {
    const auto whole = int64_t(x);          // toward zero
    const double rest = x - double(whole);  // exact
    return whole + int64_t(rest >= 0.5) - int64_t(rest <= -0.5);
}

// A row's walk through a source as a CAPixelWalk, in 64 bits so that the points before and after
// the source, where the kernel may not go, can be reckoned too.
struct RowWalk {
    int64_t u, v, du, dv;

    // The walk from (u, v), the top-left of the first pixel's taps, moving by (du, dv) a pixel.
    static RowWalk make(double u, double v, double du, double dv) {
        return {fixed(u), fixed(v), fixed(du), fixed(dv)};
    }
    // The walk with the same steps from (u, v).
    RowWalk startingAt(double u, double v) const { return {fixed(u), fixed(v), du, dv}; }
    static int64_t fixed(double x) { return roundToInt64(x * 65536); }
    int64_t uAt(int i) const { return u + i * du; }
    int64_t vAt(int i) const { return v + i * dv; }
    // The kernel's walk from pixel i on, which must lie inside the source.
    CAPixelWalk from(int i) const {
        return {int32_t(uAt(i)), int32_t(vAt(i)), int32_t(du), int32_t(dv)};
    }
};

// Pixels [begin, end) of a row.
struct Span {
    int begin = 0, end = 0;
    bool empty() const { return end <= begin; }
    Span intersect(Span o) const { return {std::max(begin, o.begin), std::min(end, o.end)}; }
};

// The pixels in both spans; an empty span is Span{}.
inline Span meet(Span a, Span b) {
    const Span both = a.intersect(b);
    return both.empty() ? Span{} : both;
}

// floor and ceil for values well inside int's range, exact, and without the library calls that a
// processor without SSE4.1's rounding takes for them: every row asks a dozen.
inline int floorInt(double x) {
    const int i = int(x);
    return i - int(double(i) > x);
}
inline int ceilInt(double x) {
    const int i = int(x);
    return i + int(double(i) < x);
}

// The pixels i of `span` where lo <= start + i step < hi; an empty span is Span{}.
inline Span between(Span span, int64_t start, int64_t step, int64_t lo, int64_t hi) {
    // Rounding a quotient down or up, whatever the signs.
    auto down = [](int64_t a, int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); };
    auto up = [&](int64_t a, int64_t b) { return -down(-a, b); };
    if (step == 0) return lo <= start && start < hi ? span : Span{};
    const int64_t limit = int64_t(span.end) + 1;
    auto clampIndex = [&](int64_t i) { return int(std::clamp<int64_t>(i, -1, limit)); };
    Span within;
    if (step > 0) {
        within = {clampIndex(up(lo - start, step)), clampIndex(up(hi - start, step))};
    } else {
        within = {clampIndex(down(start - hi, -step) + 1), clampIndex(down(start - lo, -step) + 1)};
    }
    const Span out = span.intersect(within);
    return out.empty() ? Span{} : out;
}

// The pixels of `span` where all four taps of the walk's samples lie inside a w × h source: the
// pixels the sampling kernel may take.
inline Span tapsInside(Span span, const RowWalk& walk, int w, int h) {
    span = between(span, walk.u, walk.du, 0, int64_t(w - 1) << 16);
    return between(span, walk.v, walk.dv, 0, int64_t(h - 1) << 16);
}

// The sample at pixel i of a walk anywhere, spread, its taps clamped to the source (the edge
// pixels reaching out past the edges).
inline uint64_t clampedSampleLanes(const CAPixelBuffer& source, const RowWalk& walk, int i) {
    const int64_t u = walk.uAt(i), v = walk.vAt(i);
    const auto column = [&](int64_t k) { return int(std::clamp<int64_t>(k, 0, source.width - 1)); };
    const auto row = [&](int64_t j) { return int(std::clamp<int64_t>(j, 0, source.height - 1)); };
    const int64_t k = u >> 16, j = v >> 16;
    const uint32_t* upper = source.row(row(j));
    const uint32_t* lower = source.row(row(j + 1));
    return bilinearLanes(upper[column(k)], upper[column(k + 1)], lower[column(k)],
                         lower[column(k + 1)], uint32_t(u >> 8) & 0xFF, uint32_t(v >> 8) & 0xFF);
}

}  // namespace CAPixelSample
