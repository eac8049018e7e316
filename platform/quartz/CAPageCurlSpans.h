#pragma once

// The runs of a row of the curled page: the columns where something that changes at an even pace
// along the row (a distance along the pull, a point moving through the page) passes a mark.

#include "platform/quartz/CAPixelSample.h"

#include <algorithm>
#include <cmath>

namespace CAPageCurlSpans {

// Columns [begin, end) of a row.
using Span = CAPixelSample::Span;

// The columns of `span` at every one of which a + b column >= t.
inline Span atLeast(Span span, double a, double b, double t) {
    constexpr double kSlack = 1e-7;  // rounds inward, for the sums' rounding errors
    if (std::fabs(b) < 1e-12) return a >= t + kSlack ? span : Span{};
    const double x = std::clamp((t - a) / b, -2.0, double(span.end) + 2);
    if (b > 0) {
        span.begin = std::max(span.begin, CAPixelSample::ceilInt(x + kSlack));
    } else {
        span.end = std::min(span.end, CAPixelSample::floorInt(x - kSlack) + 1);
    }
    return span.empty() ? Span{} : span;
}

// The columns where a point moving by (dx, dy) a column from (x, y) at column 0 lies at least
// `t` inside a `w` × `h` rectangle. Each edge's columns are found over the whole span and met
// after: the same columns as narrowing the span edge after edge (a bound's clamping only ever
// decides that a span is empty), without each edge waiting on the last.
inline Span insideBy(Span span, double x, double y, double dx, double dy, double w, double h,
                     double t) {
    using CAPixelSample::meet;
    return meet(meet(atLeast(span, x, dx, t), atLeast(span, w - x, -dx, t)),
                meet(atLeast(span, y, dy, t), atLeast(span, h - y, -dy, t)));
}

}  // namespace CAPageCurlSpans
