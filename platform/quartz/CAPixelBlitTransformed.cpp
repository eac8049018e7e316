// Drawing an image through any affine map, row by row: each target row is a straight line through
// the source, so its sample point moves by the same step from pixel to pixel. The pixels whose
// square lies wholly inside the image and whose taps all lie inside the source go to the sampling
// kernel in one run; the few at the image's edges are sampled with clamped taps and blended toward
// clear by how much of their square the image covers.

#include "platform/quartz/CAPixelBlit.h"

#include "platform/quartz/CAPixelKernels.h"
#include "platform/quartz/CAPixelSample.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

using CAPixelSample::RowWalk;
using CAPixelSample::Span;

// Rounding error allowed for when a span is found from sums of doubles.
constexpr double kSlack = 1e-7;

using CAPixelSample::ceilInt;
using CAPixelSample::floorInt;
using CAPixelSample::meet;

// lround for values well inside int's range, exact, and without a library call (as floorInt).
int roundNonNegative(double x) {
    const int i = int(x);
    return i + int(x - i >= 0.5);
}

// Where a row crosses a pair of the picture's opposite edges, at 0 and `size` in a coordinate
// that runs s + b i over the row's pixels i (in source units, at their centres), and reaches
// `reach` either side of a pixel's centre over its square: the pixels whose square meets the
// strip between the edges, and those whose square lies inside it. Each bound is found with a
// multiplication by 1 / b rather than a division, whose rounding the slack allows for: the pixels
// it leaves in doubt are taken in where the square meets the strip and left out where it lies
// inside.
class EdgePair {
public:
    // The two spans, unclipped and either of them perhaps empty.
    struct Spans {
        Span meeting, inside;
    };

    EdgePair(double b, double reach, double size)
        : inverse_(std::fabs(b) < 1e-12 ? 0 : 1 / b),
          reach_(reach),
          size_(size),
          // The values of s at the spans' first and last pixels: where the coordinate rises along
          // the row, the near edge bounds the spans' starts.
          meetingFrom_(b > 0 ? -reach : size + reach),
          meetingTo_(b > 0 ? size + reach : -reach),
          insideFrom_(b > 0 ? reach : size - reach),
          insideTo_(b > 0 ? size - reach : reach) {}

    // The spans of a row of n pixels whose first pixel's centre lies at `s`.
    [[gnu::always_inline]] Spans spans(double s, int n) const {
        if (inverse_ == 0) {
            // Every pixel of the row at the same place.
            const bool meets = s + reach_ >= -kSlack && (size_ + reach_) - s >= -kSlack;
            const bool inside = s - reach_ >= kSlack && (size_ - reach_) - s >= kSlack;
            return {meets ? Span{0, n} : Span{}, inside ? Span{0, n} : Span{}};
        }
        // The pixel at which s + b i reaches c, kept near the row: past its ends the clamp only
        // decides that a span is empty.
        const double far = double(n) + 2;
        auto index = [&](double c) { return std::clamp((c - s) * inverse_, -2.0, far); };
        return {{ceilInt(index(meetingFrom_) - kSlack), floorInt(index(meetingTo_) + kSlack) + 1},
                {ceilInt(index(insideFrom_) + kSlack), floorInt(index(insideTo_) - kSlack) + 1}};
    }

private:
    double inverse_, reach_, size_;
    double meetingFrom_, meetingTo_, insideFrom_, insideTo_;
};

// The shape of a pixel's square measured across a straight edge whose normal has components
// p >= q >= 0 (p² + q² = 1), with the inverses that halfPlaneCover multiplies by rather than
// divide every pixel.
struct Square {
    Square(double p, double q)
        : reach((p + q) / 2),
          flat((p - q) / 2),
          inverseP(1 / p),
          // Where q is all but 0 the corners' triangles are too: at most q / 2p of the pixel.
          inverseTwoPQ(q > 1e-150 ? 1 / (2 * p * q) : 0) {}
    double reach, flat, inverseP, inverseTwoPQ;
};

// How much of a pixel's square lies on the inside of a straight edge `distance` pixels from its
// centre (negative outside).
double halfPlaneCover(double distance, const Square& square) {
    if (distance >= square.reach) return 1;
    if (distance <= -square.reach) return 0;
    if (std::fabs(distance) <= square.flat) return 0.5 + distance * square.inverseP;
    // Past the nearer corner the part cut off is a triangle.
    const double left = square.reach - std::fabs(distance);
    const double corner = left * left * square.inverseTwoPQ;
    return distance < 0 ? corner : 1 - corner;
}

// How the source's rectangle lies over the target's pixels: for each pair of its opposite edges,
// how fast a source coordinate changes across the target and the shape of a pixel's square
// measured across those edges.
class Coverage {
public:
    Coverage(const CAPixelAffine& m, int width, int height)
        : x_(m.a, m.c, width), y_(m.b, m.d, height) {}

    // The part of the pixel whose centre maps to (sx, sy) that the rectangle covers, of 256.
    uint32_t at(double sx, double sy) const {
        const double across = x_.at(sx);
        const double cover = across == 0 ? 0 : across * y_.at(sy);
        return uint32_t(roundNonNegative(cover * 256));
    }
    // How far (in source units) a coordinate reaches over a pixel's square from its centre.
    double reachX() const { return x_.reach; }
    double reachY() const { return y_.reach; }

private:
    struct Axis {
        Axis(double along, double across, int size)
            : gradient(std::hypot(along, across)),
              inverseGradient(1 / gradient),
              size(size),
              square(std::max(std::fabs(along), std::fabs(across)) / gradient,
                     std::min(std::fabs(along), std::fabs(across)) / gradient),
              reach((std::fabs(along) + std::fabs(across)) / 2),
              sure(reach * (1 + 1e-9)) {}
        // Between the edges at 0 and `size`: both half-planes, less the part outside either.
        double at(double s) const { return std::max(0.0, side(s) + side(size - s) - 1); }
        // halfPlaneCover of an edge `s` source units away, without working it out where the
        // pixel's square lies surely wholly on one side of it: most of an edge's pixels lie well
        // inside the other pair of edges.
        double side(double s) const {
            if (s >= sure) return 1;
            if (s <= -sure) return 0;
            return halfPlaneCover(s * inverseGradient, square);
        }
        double gradient, inverseGradient, size;
        Square square;
        double reach;
        // `reach` with room for the rounding of the products and of p and q: past it the square
        // lies beyond halfPlaneCover's reach whatever the rounding.
        double sure;
    };
    Axis x_, y_;
};

// One target row of the draw: which pixels the image reaches and which the kernel may take.
struct RowPlan {
    Span reach, inner;
    RowWalk walk;   // from the row's first pixel in the clip
    double sx, sy;  // the first pixel's centre in the source
};

class TransformedDraw {
public:
    TransformedDraw(const CAPixelBuffer& target, const CAPixelRect& bounds,
                    const CAPixelBuffer& source, CAPixelSource kind, const CAPixelAffine& m,
                    int alpha)
        : target_(target),
          bounds_(bounds),
          source_(source),
          m_(m),
          coverage_(m, source.width, source.height),
          across_(m.a, coverage_.reachX(), source.width),
          down_(m.b, coverage_.reachY(), source.height),
          steps_(RowWalk::make(0, 0, m.a, m.b)),
          alpha_(std::clamp(alpha, 0, 256)),
          ahead_(aheadOf(m, source.stride)),
          direct_(kind == CAPixelSource::Opaque && alpha_ >= 256),
          tapsFollowSquares_(coverage_.reachX() >= 0.75 && coverage_.reachY() >= 0.75 &&
                             bounds.x1 - bounds.x0 <= 16384) {}

    // Draws row `y` over `below`, the picture under it indexed by the target's column.
    void drawRow(int y, const uint32_t* below) const {
        uint32_t* dst = target_.row(y);
        const RowPlan plan = planRow(y);
        if (below != dst) {
            copy(dst, below, bounds_.x0, bounds_.x0 + plan.reach.begin);
            copy(dst, below, bounds_.x0 + plan.reach.end, bounds_.x1);
        }
        if (plan.reach.empty()) return;
        const Span inner = plan.inner.empty() ? Span{plan.reach.end, plan.reach.end} : plan.inner;
        edgePixels(dst, below, plan, {plan.reach.begin, inner.begin});
        if (!inner.empty()) {
            const int x = bounds_.x0 + inner.begin;
            CAPixelWalk walk = plan.walk.from(inner.begin);
            walk.ahead = ahead_;
            CAPixelKernels::sampleRow(dst + x, direct_ ? nullptr : below + x, source_.pixels,
                                      source_.stride, walk, inner.end - inner.begin, alpha_);
        }
        edgePixels(dst, below, plan, {inner.end, plan.reach.end});
    }

private:
    // Where a pixel's taps lie some rows later, in source pixels: far enough down the source
    // (two of its rows) for them to be fetched in time, but no more than 16 output rows on.
    static int32_t aheadOf(const CAPixelAffine& m, int stride) {
        const double rows =
            std::fabs(m.d) > 1e-6 ? std::clamp(std::ceil(2 / std::fabs(m.d)), 1.0, 16.0) : 16.0;
        return int32_t(std::lround(rows * m.d) * stride + std::lround(rows * m.c));
    }

    static void copy(uint32_t* dst, const uint32_t* below, int x0, int x1) {
        if (x1 > x0) std::memcpy(dst + x0, below + x0, sizeof(uint32_t) * size_t(x1 - x0));
    }

    RowPlan planRow(int y) const {
        const double cx = bounds_.x0 + 0.5, cy = y + 0.5;
        RowPlan plan{};
        plan.sx = m_.a * cx + m_.c * cy + m_.tx;
        plan.sy = m_.b * cx + m_.d * cy + m_.ty;
        if (alpha_ <= 0) return plan;
        const int n = bounds_.x1 - bounds_.x0;
        const EdgePair::Spans across = across_.spans(plan.sx, n), down = down_.spans(plan.sy, n);
        // The pixels whose square meets each of the rectangle's four half-planes: those that meet
        // no part of the rectangle itself (beside its corners), or meet it by no more than
        // rounding, come out uncovered.
        plan.reach = meet(Span{0, n}, meet(across.meeting, down.meeting));
        // Rows that miss the picture, as many above and below it as there are screen rows beside
        // it, need no more.
        if (plan.reach.empty()) return plan;
        plan.walk = steps_.startingAt(plan.sx - 0.5, plan.sy - 0.5);
        // The pixels whose square lies inside it and whose taps do too.
        plan.inner = meet(plan.reach, meet(across.inside, down.inside));
        if (!tapsFollowSquares_) {
            plan.inner =
                CAPixelSample::tapsInside(plan.inner, plan.walk, source_.width, source_.height);
        }
        return plan;
    }

    void edgePixels(uint32_t* dst, const uint32_t* below, const RowPlan& plan, Span span) const {
        // Copies the pixels written cannot alias, so that they stay in registers.
        const CAPixelBuffer source = source_;
        const RowWalk walk = plan.walk;
        const auto opacity = uint32_t(alpha_);
        dst += bounds_.x0, below += bounds_.x0;
        for (int i = span.begin; i < span.end; ++i) {
            const uint32_t cover = coverage_.at(plan.sx + i * m_.a, plan.sy + i * m_.b);
            const uint32_t alpha = (opacity * cover + 128) >> 8;
            dst[i] = alpha == 0
                         ? below[i]
                         : CAPixelSample::overLanes(
                               CAPixelSample::clampedSampleLanes(source, walk, i), below[i], alpha);
        }
    }

    const CAPixelBuffer& target_;
    CAPixelRect bounds_;
    const CAPixelBuffer& source_;
    CAPixelAffine m_;
    Coverage coverage_;
    EdgePair across_, down_;  // the picture's left and right edges, its top and bottom
    RowWalk steps_;           // how a row's walk moves from pixel to pixel
    int alpha_;
    int32_t ahead_;
    bool direct_;  // an opaque source at full opacity: samples are written as they are
    // Whether every pixel whose square lies inside the source has its taps inside too, so that
    // they need no test of their own: where the square reaches 0.75 source pixels or more from
    // its centre both ways, the taps lie half a pixel from the centre, and the walk's rounding
    // moves them by at most an eighth of a pixel along a row of up to 16384.
    bool tapsFollowSquares_;
};

void drawTransformed(const CAPixelBuffer& target, const CAPixelRect& clip,
                     const CAPixelBuffer& source, CAPixelSource kind, const CAPixelAffine& toSource,
                     int alpha, const CAPixelBuffer* under, int ux, int uy) {
    const CAPixelRect bounds = clip.intersect({0, 0, target.width, target.height});
    if (bounds.isEmpty() || source.width <= 0 || source.height <= 0) return;
    const TransformedDraw draw(target, bounds, source, kind, toSource, alpha);
    for (int y = bounds.y0; y < bounds.y1; ++y) {
        // Indexed by the target's column, as the target's own row is.
        const uint32_t* below = under ? under->row(y - uy) - ux : target.row(y);
        draw.drawRow(y, below);
    }
}

}  // namespace

void CAPixelDrawImageTransformed(const CAPixelBuffer& target, const CAPixelRect& clip,
                                 const CAPixelBuffer& source, CAPixelSource kind,
                                 const CAPixelAffine& toSource, int alpha) {
    drawTransformed(target, clip, source, kind, toSource, alpha, nullptr, 0, 0);
}

void CAPixelDrawImageTransformedOver(const CAPixelBuffer& target, const CAPixelRect& clip,
                                     const CAPixelBuffer& source, CAPixelSource kind,
                                     const CAPixelAffine& toSource, int alpha,
                                     const CAPixelBuffer& under, int ux, int uy) {
    drawTransformed(target, clip, source, kind, toSource, alpha, &under, ux, uy);
}
