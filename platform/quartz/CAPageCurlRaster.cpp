#include "platform/quartz/CAPageCurlRaster.h"

#include "platform/quartz/CAPageCurlPixels.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <numbers>
#include <vector>

namespace {

namespace px = CAPageCurlPixels;
using Pixel = px::Pixel;

constexpr double kPi = std::numbers::pi;

// The back of the page: its picture mixed this far toward white, and this opaque (of 256).
constexpr uint32_t kBackWhite = 166;
constexpr uint32_t kBackOpacity = 230;
// Darkest shadows: on the picture beneath, next to the bulk of the cylinder, and on the page
// under the flap and beside its edge, which is only the paper's thin edge and so casts a
// fainter, narrower one.
constexpr double kSideShadow = 0.45;
constexpr double kFlapShadow = 0.3;
constexpr double kFlapShadowWidth = 0.5;  // of the radius
// Entries per pixel of the table across the cylinder.
constexpr int kStepsPerPixel = 4;

uint32_t weight(double k) {
    return uint32_t(std::clamp(k, 0.0, 1.0) * 256 + 0.5);
}

Pixel shadow(double alpha) {
    return px::shadow(uint32_t(std::clamp(alpha, 0.0, 1.0) * 255 + 0.5));
}

// A shadow's strength at `t` of its width from where it is darkest.
double falloff(double t) {
    if (t >= 1) return 0;
    const double left = 1 - std::max(t, 0.0);
    return left * left;
}

// How the back of the page is tinted (CAPageCurlTint) where it is lit by `shade` and lightened
// by `gloss`: mixed toward white by kBackWhite, darkened by the shade, then moved toward white
// by the gloss.
struct BackTint {
    uint32_t keep, white;
};
BackTint backTint(double shade, double gloss) {
    const double white = kBackWhite / 256.0;
    const uint32_t keep = weight((1 - white) * shade * (1 - gloss));
    // Rounded apart, the two could add up to one more than 256.
    return {keep, std::min(256 - keep, weight(white * shade * (1 - gloss) + gloss))};
}

// What lies across the cylinder, tabulated along u from its trailing side (-r) to the axis (0):
// how far back along u each layer's paper comes from (its arc plus `along`), and its light.
class CylinderTable {
public:
    struct Entry {
        double upperShift, lowerShift;
        BackTint upperTint;
        uint32_t lowerShade;
    };

    explicit CylinderTable(double radius) : radius_(radius) {
        const int n = int(std::ceil(radius * kStepsPerPixel)) + 2;
        entries_.resize(size_t(n));
        for (int i = 0; i < n; ++i) {
            const double along = std::min(0.0, -radius + double(i) / kStepsPerPixel);
            const CAPageCurlCover cover = CAPageCurlCoverAt(along, radius);
            entries_[size_t(i)] = {along + cover.upperArc, along + cover.lowerArc,
                                   backTint(CAPageCurlBackShade(along, radius),
                                            CAPageCurlBackGloss(along, radius)),
                                   weight(CAPageCurlFrontShade(along, radius))};
        }
    }

    // The layers at `along` in [-r, 0]: the shifts interpolated, the light of the nearest entry.
    Entry at(double along) const {
        const double f = std::clamp((along + radius_) * kStepsPerPixel, 0.0,
                                    double(entries_.size() - 2));
        const auto i = size_t(f);
        const double k = f - double(i);
        const Entry& a = entries_[i];
        const Entry& b = entries_[i + 1];
        const Entry& nearest = k < 0.5 ? a : b;
        return {a.upperShift + (b.upperShift - a.upperShift) * k,
                a.lowerShift + (b.lowerShift - a.lowerShift) * k, nearest.upperTint,
                nearest.lowerShade};
    }

private:
    double radius_;
    std::vector<Entry> entries_;
};

// Columns [begin, end) of a row.
struct Span {
    int begin = 0, end = 0;
    bool empty() const { return end <= begin; }
};

// The columns of `span` at every one of which a + b column >= t.
Span atLeast(Span span, double a, double b, double t) {
    constexpr double kSlack = 1e-7;  // rounds inward, for the sums' rounding errors
    if (std::fabs(b) < 1e-12) return a >= t + kSlack ? span : Span{};
    const double x = std::clamp((t - a) / b, -2.0, double(span.end) + 2);
    if (b > 0) {
        span.begin = std::max(span.begin, int(std::ceil(x + kSlack)));
    } else {
        span.end = std::min(span.end, int(std::floor(x - kSlack)) + 1);
    }
    return span.empty() ? Span{} : span;
}

// The columns where a point moving by (dx, dy) a column from (x, y) at column 0 lies at least
// `t` inside a `w` × `h` rectangle.
Span insideBy(Span span, double x, double y, double dx, double dy, double w, double h, double t) {
    span = atLeast(span, x, dx, t);
    span = atLeast(span, w - x, -dx, t);
    span = atLeast(span, y, dy, t);
    return atLeast(span, h - y, -dy, t);
}

class CurlPainter {
public:
    CurlPainter(const CAPixelBuffer& page, const CAPageCurlGeometry& curl)
        : page_(page), sampler_(page), curl_(curl), table_(curl.radius),
          flapShadowWidth_(kFlapShadowWidth * curl.radius),
          underFlap_(shadow(kFlapShadow)), flapTint_(backTint(1, 0)) {}

    // Writes row `row` of the curled page into `out`. The columns where the whole pixel is the
    // flat page, the flap over the page, or nothing at all are done in runs; the rest, near the
    // cylinder and the edges, pixel by pixel.
    void paintRow(uint32_t* out, int row) const {
        const double y = row + 0.5;
        const Row r = rowAt(y);
        const uint32_t* flat = page_.row(row);
        enum Kind { Flat, Flap, Gone };
        struct Run {
            Span span;
            Kind kind;
        };
        std::array<Run, 4> runs = {{{r.flatBefore, Flat}, {r.flatAfter, Flat}, {r.flap, Flap},
                                    {r.gone, Gone}}};
        std::sort(runs.begin(), runs.end(),
                  [](const Run& a, const Run& b) { return a.span.begin < b.span.begin; });
        int column = 0;
        for (const Run& run : runs) {
            if (run.span.empty()) continue;
            paintPixels(out, flat, r, y, {column, run.span.begin});
            const auto bytes = size_t(run.span.end - run.span.begin) * sizeof(uint32_t);
            if (run.kind == Flat) std::memcpy(out + run.span.begin, flat + run.span.begin, bytes);
            if (run.kind == Gone) std::memset(out + run.span.begin, 0, bytes);
            if (run.kind == Flap) paintFlap(out, flat, r, run.span);
            column = run.span.end;
        }
        paintPixels(out, flat, r, y, {column, page_.width});
    }

private:
    // A row's layout: along u at column 0 (its pixel centre), the flap's source point at column 0
    // and its step from column to column, and the runs.
    struct Row {
        double along;
        double flapX, flapY, flapDx, flapDy;
        Span flatBefore, flatAfter, flap, gone;
    };

    Row rowAt(double y) const {
        const double ux = curl_.ux, uy = curl_.uy, w = page_.width, h = page_.height;
        Row r;
        r.along = 0.5 * ux + y * uy - curl_.axis;
        // The flap's paper at a pixel lies (2 along + pi r) back along u.
        const double shift = 2 * r.along + kPi * curl_.radius;
        r.flapX = 0.5 - shift * ux, r.flapY = y - shift * uy;
        r.flapDx = 1 - 2 * ux * ux, r.flapDy = -2 * ux * uy;
        const Span all{0, page_.width};
        const Span ahead = atLeast(all, r.along, ux, 0);
        // Whole pixels of flap, and the pixels the flap or its shadow may reach at all.
        r.flap = insideBy(ahead, r.flapX, r.flapY, r.flapDx, r.flapDy, w, h, 0.5);
        const Span near =
            insideBy(ahead, r.flapX, r.flapY, r.flapDx, r.flapDy, w, h, -flapShadowWidth_ - 1);
        if (near.empty()) {
            r.flatBefore = ahead;
        } else {
            r.flatBefore = {ahead.begin, std::min(ahead.end, near.begin)};
            r.flatAfter = {std::max(ahead.begin, near.end), ahead.end};
        }
        r.gone = atLeast(all, -r.along, -ux, curl_.radius + curl_.shadowWidth + 1.5);
        return r;
    }

    // Columns of `span` of the row at `y`, each worked out on its own.
    void paintPixels(uint32_t* out, const uint32_t* flat, const Row& r, double y, Span span) const {
        for (int column = span.begin; column < span.end; ++column) {
            out[column] = pixel(flat[column], column + 0.5, y, r.along + column * curl_.ux);
        }
    }

    // Columns of `span` where the flap covers the flat page, in full shadow under it.
    void paintFlap(uint32_t* out, const uint32_t* flat, const Row& r, Span span) const {
        for (int column = span.begin; column < span.end; ++column) {
            const Pixel paper =
                sampler_.at(r.flapX + column * r.flapDx, r.flapY + column * r.flapDy);
            const Pixel back = px::tint(paper, flapTint_.keep, flapTint_.white, kBackOpacity);
            out[column] = px::over(back, px::over(underFlap_, flat[column]));
        }
    }

    // The pixel whose centre is (x, y), at `along` from the axis, where the flat page has `flat`.
    Pixel pixel(uint32_t flat, double x, double y, double along) const {
        if (along >= 0) return flatAndFlap(flat, x, y, along);
        if (along >= -curl_.radius - 0.5) return cylinder(x, y, along);
        return shadow(sideShadow(x, y, along));
    }

    // Ahead of the axis: the flat page, shaded near the flap's edge and under the flap.
    Pixel flatAndFlap(uint32_t flat, double x, double y, double along) const {
        const double shift = 2 * along + kPi * curl_.radius;
        const double fx = x - shift * curl_.ux, fy = y - shift * curl_.uy;
        const double in = sampler_.inside(fx, fy);
        if (in <= -flapShadowWidth_) return flat;
        // Beside the flap the shadow fades toward the axis, where the flat page runs on into the
        // cylinder's front half, which the flap does not shade.
        const double beside = falloff(outside(fx, fy) / flapShadowWidth_) *
                              std::min(1.0, along / flapShadowWidth_);
        const double dark = kFlapShadow * (in >= 0 ? 1 : beside);
        const Pixel shaded = px::over(shadow(dark), flat);
        if (in <= -0.5) return shaded;
        const uint32_t opacity = (weight(in + 0.5) * kBackOpacity) >> 8;
        const Pixel back = px::tint(sampler_.at(fx, fy), flapTint_.keep, flapTint_.white, opacity);
        return px::over(back, shaded);
    }

    // Over the cylinder: its back half over its front half over the shadow beneath it.
    Pixel cylinder(double x, double y, double along) const {
        const double edge = along + curl_.radius + 0.5;  // the silhouette's anti-aliasing
        const CylinderTable::Entry e = table_.at(along);
        const double lx = x - e.lowerShift * curl_.ux, ly = y - e.lowerShift * curl_.uy;
        const double ux = x - e.upperShift * curl_.ux, uy = y - e.upperShift * curl_.uy;
        const double lowerCover = std::min(edge, sampler_.inside(lx, ly) + 0.5);
        const double upperCover = std::min(edge, sampler_.inside(ux, uy) + 0.5);
        Pixel out = shadow(lowerCover < 1 && upperCover < 1 ? sideShadow(x, y, along) : 0);
        if (lowerCover > 0) {
            // Under the whole back half only a tenth of the front shows: the nearest pixel will do.
            const Pixel paper = upperCover >= 1 ? sampler_.nearest(lx, ly) : sampler_.at(lx, ly);
            const Pixel front = px::shade(paper, e.lowerShade);
            out = px::over(px::scale(front, weight(lowerCover)), out);
        }
        if (upperCover > 0) {
            const uint32_t opacity = (weight(upperCover) * kBackOpacity) >> 8;
            const Pixel back =
                px::tint(sampler_.at(ux, uy), e.upperTint.keep, e.upperTint.white, opacity);
            out = px::over(back, out);
        }
        return out;
    }

    // The shadow the lifted paper casts on what lies beneath on the trailing side: darkest
    // under the cylinder, fading over shadowWidth beyond it, and only as strong as the paper
    // above is there. The paper that reaches the cylinder's side lies a quarter turn behind the
    // axis; where the page runs out before that, the shadow fades with how far it falls short.
    double sideShadow(double x, double y, double along) const {
        const double r = curl_.radius;
        const double away = falloff((-r - along) / curl_.shadowWidth);
        if (away <= 0) return 0;
        const double shift = along + 0.5 * kPi * r;
        const double missing = outside(x - shift * curl_.ux, y - shift * curl_.uy);
        return kSideShadow * away * falloff(missing / (0.5 * kPi * r));
    }

    // How far (x, y) lies from the page's rectangle; 0 inside.
    double outside(double x, double y) const {
        const double dx = std::max(std::max(0.0, -x), x - page_.width);
        const double dy = std::max(std::max(0.0, -y), y - page_.height);
        if (dx == 0 || dy == 0) return dx + dy;
        return std::sqrt(dx * dx + dy * dy);
    }

    const CAPixelBuffer& page_;
    CAPageCurlSampler sampler_;
    const CAPageCurlGeometry& curl_;
    CylinderTable table_;
    double flapShadowWidth_;
    Pixel underFlap_;
    BackTint flapTint_;
};

}  // namespace

void CAPageCurlRaster(const CAPixelBuffer& out, const CAPixelBuffer& page,
                      const CAPageCurlGeometry& curl) {
    const CurlPainter painter(page, curl);
    for (int row = 0; row < out.height; ++row) painter.paintRow(out.row(row), row);
}
