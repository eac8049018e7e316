#include "platform/quartz/CAPageCurlRaster.h"

#include "platform/quartz/CAPageCurlCylinder.h"
#include "platform/quartz/CAPageCurlPixels.h"
#include "platform/quartz/CAPageCurlRowOut.h"
#include "platform/quartz/CAPageCurlSpans.h"
#include "platform/quartz/CAPixelKernels.h"
#include "platform/quartz/CAPixelSample.h"
#include "platform/quartz/CAPixelWorkers.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <numbers>
#include <vector>

#if CORVANE_SIMD
// The painter's loops that the compiler vectorises, compiled once more with AVX2 for processors
// that have it: the same operations in wider registers (AVX2 brings no fused multiply-add), so the
// same pixels.
#define CURL_LOOP_CLONES __attribute__((target_clones("avx2", "default")))
#else
#define CURL_LOOP_CLONES
#endif

namespace {

namespace px = CAPageCurlPixels;
using Pixel = px::Pixel;

constexpr double kPi = std::numbers::pi;

constexpr uint32_t kBackOpacity = kCAPageCurlBackOpacity;
// Darkest shadows: on the picture beneath, next to the bulk of the cylinder, and on the page
// under the flap and beside its edge, which is only the paper's thin edge and so casts a
// fainter, narrower one.
constexpr double kSideShadow = 0.45;
constexpr double kFlapShadow = 0.3;
constexpr double kFlapShadowWidth = 0.5;  // of the radius
// Under a slanting pull the cylinder is painted in tiles of so many rows and columns.
constexpr int kBandRows = 32;
constexpr int kTileColumns = 128;
// How many rows ahead the cylinder's pixels ask for the page's pixels they will read.
constexpr int kAheadRows = 2;
// How far inside its part of the row a pixel is taken for the shorter ways, along u.
constexpr double kSlackAlong = 1e-6;

uint32_t weight(double k) {
    return CAPageCurlWeight(k);
}

// A shadow's alpha (0 to 255) for a darkness of 0 to 1.
uint32_t strength(double alpha) {
    return uint32_t(int32_t(std::clamp(alpha, 0.0, 1.0) * 255 + 0.5));
}

Pixel shadow(double alpha) {
    return px::shadow(strength(alpha));
}

// A shadow's strength at `t` of its width from where it is darkest. Without branches, as in the
// rest of the shadow's arithmetic, so that the loops over shadowed pixels can be vectorised.
double falloff(double t) {
    const double left = 1 - std::max(t, 0.0);
    return t >= 1 ? 0 : left * left;
}

using BackTint = CAPageCurlTint;
using RowOut = CAPageCurlRowOut;
using CAPageCurlSpans::atLeast;
using CAPageCurlSpans::insideBy;
using CAPageCurlSpans::Span;

// The flap over an opaque page as one mix, each channel of 256ths: the paper's channel weighted
// by `paper`, the page's by `page`, and white by `white` (rounding included). It is the back tinted
// by `tint` at the back's opacity over the page shaded by a shadow of `shade` (0 to 255).
struct FlapMix {
    uint16_t paper, page, white;
};
FlapMix flapMixOver(BackTint tint, uint32_t shade) {
    const double back = kBackOpacity / 256.0;
    const uint32_t backAlpha = (255 * kBackOpacity) >> 8;
    // What shows of the shaded page through the back, and of the page through its shadow.
    const double through = (256 - backAlpha - (backAlpha >> 7)) / 256.0;
    const double lit = (256 - shade - (shade >> 7)) / 256.0;
    return {uint16_t(std::lround(tint.keep * back)), uint16_t(std::lround(256 * through * lit)),
            uint16_t(std::lround(255 * tint.white * back) + 128)};
}

class CurlPainter {
    // The cylinder's columns in a row of a band, which paintBand paints last.
    struct CylinderRun {
        RowOut out;
        int row;
        double along;
        Span span;
    };
    using CylinderRuns = std::vector<CylinderRun>;

public:
    CurlPainter(const CAPixelBuffer& page, const CAPageCurlGeometry& curl)
        : page_(page),
          sampler_(page),
          curl_(curl),
          table_(curl.radius, curl.ux, curl.uy),
          flapShadowWidth_(kFlapShadowWidth * curl.radius),
          underFlap_(shadow(kFlapShadow)),
          flapTint_(CAPageCurlBackTint(1, 0)),
          flapMix_(flapMixOver(flapTint_, underFlap_ >> 24)),
          fixedWidth_(page.width << 16),
          fixedHeight_(page.height << 16),
          ahead_(aheadOf(curl, page.stride)) {}

    // Paints columns `limit` of rows [first, first + count) of the curled page into `outs`.
    // Under a slanting pull the cylinder reads the page along slanting lines through it (down its
    // columns, for a pull along a diagonal), so it is painted last, a tile of columns at a time
    // down all the rows, for the page's pixels it reads to stay in the processor's nearest cache;
    // under a pull along a side it reads whole rows, and a tile is the whole row.
    // A painter paints several bands at once, one on each core, each with runs of its own.
    void paintBand(const RowOut* outs, int first, int count, Span limit) const {
        CylinderRuns cylinderRuns;
        for (int i = 0; i < count; ++i) {
            if (i + kAheadRows < count) {
                askAhead(outs[i + kAheadRows], first + i + kAheadRows, limit);
            }
            paintRow(outs[i], first + i, limit, cylinderRuns);
        }
        const bool slanting = curl_.ux != 0 && curl_.uy != 0;
        const int columns = slanting ? kTileColumns : std::max(1, limit.end - limit.begin);
        for (int tile = limit.begin; tile < limit.end; tile += columns) {
            for (const CylinderRun& run : cylinderRuns) {
                const Span part = run.span.intersect({tile, tile + columns});
                if (!part.empty()) cylinderPixels(run.out, run.along, run.row, part);
            }
        }
    }

private:
    // Asks for the columns of `limit` of row `row` that its painting reads of the page and of the
    // picture beneath it (`o`'s), a few rows before they are painted. A row reads them in runs
    // that begin wherever the row before left off, each too short for the processor's own
    // prefetching to catch up with. The picture beneath shows from the cylinder's far side on;
    // the page is read flat ahead of the axis, and under a pull to a side the cylinder and the
    // flap read the rest of its row. Asking for what is hidden would only crowd out the reads
    // that are needed (6 % of the frame under a diagonal pull, 10 % of it on two cores).
    // (Inlined: on its own, a function that only prefetches counts as one without effects, and
    // its calls are dropped.)
    [[gnu::always_inline]] void askAhead(const RowOut& o, int row, Span limit) const {
        const double along = alongAt(row + 0.5);
        const bool side = curl_.ux == 0 || curl_.uy == 0;
        const Span page = side ? limit : atLeast(limit, along, curl_.ux, -1);
        const Span beneath = atLeast(limit, -along, -curl_.ux, curl_.radius - 1);
        const uint32_t* paper = page_.row(row);
        // The requests in the order the row makes its reads.
        for (int column = limit.begin; column < limit.end; column += 16) {
            if (column >= page.begin && column < page.end) __builtin_prefetch(paper + column);
            if (o.below && column >= beneath.begin && column < beneath.end) {
                __builtin_prefetch(o.below + column);
            }
        }
    }

    // Paints columns `limit` of row `row` of the curled page into `o`, but for the cylinder,
    // which it leaves to paintBand. The columns where the whole pixel is the flat page, the flap
    // over the page, or nothing at all are done in runs; the rest, near the cylinder and the
    // edges, pixel by pixel.
    void paintRow(const RowOut& o, int row, Span limit, CylinderRuns& cylinderRuns) const {
        const double y = row + 0.5;
        const Row r = rowAt(y);
        const uint32_t* flat = page_.row(row);
        enum Kind { Flat, Flap, Gone };
        struct Run {
            Span span;
            Kind kind;
        };
        std::array<Run, 4> runs = {
            {{r.flatBefore, Flat}, {r.flatAfter, Flat}, {r.flap, Flap}, {r.gone, Gone}}};
        std::sort(runs.begin(), runs.end(),
                  [](const Run& a, const Run& b) { return a.span.begin < b.span.begin; });
        int column = limit.begin;
        for (const Run& run : runs) {
            const Span span = run.span.intersect(limit);
            if (span.empty()) continue;
            paintPixels(o, flat, r, row, {column, span.begin}, cylinderRuns);
            const int n = span.end - span.begin;
            if (run.kind == Flat) paintFlat(o, flat, span);
            if (run.kind == Gone && !o.over) {
                std::memset(o.out + span.begin, 0, size_t(n) * sizeof(uint32_t));
            }
            if (run.kind == Gone) o.uncover(span.begin, span.end);
            if (run.kind == Flap) paintFlap(o, flat, r, span);
            column = span.end;
        }
        paintPixels(o, flat, r, row, {column, limit.end}, cylinderRuns);
    }

    // A row's layout: along u at column 0 (its pixel centre), the flap's source point at column 0
    // and its step from column to column, and the runs.
    struct Row {
        double along;
        double flapX, flapY, flapDx, flapDy;
        Span flatBefore, flatAfter, flap, gone;
    };

    // How far along u from the axis the centre of column 0 lies in the row at `y`.
    double alongAt(double y) const { return 0.5 * curl_.ux + y * curl_.uy - curl_.axis; }

    Row rowAt(double y) const {
        const double ux = curl_.ux, uy = curl_.uy, w = page_.width, h = page_.height;
        Row r;
        r.along = alongAt(y);
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

    // Columns of `span` of the row at `y`, each worked out on its own: those over the cylinder and
    // in its shadow, the most of them, by the shorter ways that hold away from the page's edges.
    void paintPixels(const RowOut& o, const uint32_t* flat, const Row& r, int row, Span span,
                     CylinderRuns& cylinderRuns) const {
        if (span.empty()) return;
        const double y = row + 0.5;
        const double ux = curl_.ux, edge = -curl_.radius - 0.5;
        // Ahead of the axis, over the cylinder and beyond it, in the order of the columns.
        const Span ahead = atLeast(span, r.along, ux, 0);
        const Span overCylinder =
            atLeast(atLeast(span, -r.along, -ux, kSlackAlong), r.along, ux, edge + kSlackAlong);
        const Span beyond = atLeast(span, -r.along, -ux, -edge + kSlackAlong);
        std::array<std::pair<Span, int>, 3> parts = {{{ahead, 0}, {overCylinder, 1}, {beyond, 2}}};
        std::sort(parts.begin(), parts.end(),
                  [](const auto& a, const auto& b) { return a.first.begin < b.first.begin; });
        int column = span.begin;
        for (const auto& [part, kind] : parts) {
            if (part.empty()) continue;
            anyPixels(o, flat, r, y, {column, part.begin});
            if (kind == 0) aheadPixels(o, flat, r, y, part);
            if (kind == 1) cylinderRuns.push_back({o, row, r.along, part});
            if (kind == 2) shadowPixels(o, flat, r, y, part);
            column = part.end;
        }
        anyPixels(o, flat, r, y, {column, span.end});
    }

    // Columns of `span`, each worked out in full.
    void anyPixels(const RowOut& o, const uint32_t* flat, const Row& r, double y, Span span) const {
        for (int column = span.begin; column < span.end; ++column) {
            o.put(column, pixel(flat[column], column + 0.5, y, r.along + column * curl_.ux));
        }
    }

    // Columns of `span`, all over the cylinder. Over an opaque page that hides the target, the
    // row kernel works out the pixels whose paper lies well inside the page, the most of them;
    // elsewhere the pixels whose paper does are worked out in fixed point from the table, moving
    // along it by a fixed step a column; the rest in full.
    void cylinderPixels(const RowOut& o, double along, int row, Span span) const {
        constexpr double steps = CAPageCurlCylinderTable::kStepsPerPixel * 65536.0;
        const int64_t f0 = std::llround((along + curl_.radius) * steps);
        const int64_t df = std::llround(curl_.ux * steps);
        auto single = [&](int column) {
            const int64_t f = f0 + column * df;
            Pixel p;
            // f of 2 steps or more: half a pixel or more inside the silhouette.
            if (f >= 2 * 65536 && cylinderOnPaper(column, row, int32_t(f), p)) {
                o.putPaper(column, p);
            } else {
                o.put(column, cylinder(column + 0.5, row + 0.5, along + column * curl_.ux));
            }
        };
        if (!o.hidesTarget() || page_.width < 2 || page_.height < 2) {
            for (int column = span.begin; column < span.end; ++column) single(column);
            return;
        }
        // Over a picture of its own beneath, the kernel writes the row itself, and the pixels it
        // leaves are worked out after; over the target's own pixels, which those read, it writes
        // apart first.
        constexpr int kChunk = 256;
        const bool inPlace = o.below != nullptr;
        uint32_t apart[kChunk];
        int32_t done[kChunk];
        for (int begin = span.begin; begin < span.end; begin += kChunk) {
            const int n = std::min(kChunk, span.end - begin);
            const CAPixelCurlRow at{begin, row, int32_t(f0 + begin * df), int32_t(df), ahead_};
            uint32_t* out = inPlace ? o.out + begin : apart;
            CAPixelKernels::curlCylinderRow(out, done, page_.pixels, page_.stride, page_.width,
                                            page_.height, table_.columns(), at, n);
            for (int i = 0; i < n; ++i) {
                // Most pixels are done, eight after eight: those are passed over at once.
                if (inPlace && i % 8 == 0 && n - i >= 8 && allDone(done + i)) {
                    i += 7;
                } else if (!done[i]) {
                    single(begin + i);
                } else if (!inPlace) {
                    o.out[begin + i] = out[i];
                }
            }
        }
    }

    // Whether the eight pixels from `done` are all done.
    static bool allDone(const int32_t* done) {
        int32_t all = 1;
        for (int i = 0; i < 8; ++i) all &= done[i];
        return all != 0;
    }

    // Columns of `span`, all beyond the cylinder in its shadow (or past it). The paper that casts
    // the shadow lies along a line across the row, so the columns where the page has paper there,
    // whose shadow depends on `along` alone, make one run.
    CURL_LOOP_CLONES void shadowPixels(const RowOut& o, const uint32_t* flat, const Row& r,
                                       double y, Span span) const {
        const double ux = curl_.ux, uy = curl_.uy;
        const double shift = r.along + 0.5 * kPi * curl_.radius;
        const Span full = insideBy(span, 0.5 - shift * ux, y - shift * uy, 1 - ux * ux, -ux * uy,
                                   page_.width, page_.height, 0);
        const Span run = full.empty() ? Span{span.end, span.end} : full;
        fadingShadow(o, r, y, {span.begin, run.begin});
        // The shadow's reach through it, from 0 at the cylinder's side to 1 at its end.
        const auto t0 = float((-curl_.radius - r.along) / curl_.shadowWidth);
        const auto dt = float(-ux / curl_.shadowWidth);
        if (o.over && o.alpha >= 256) {
            const uint32_t* under = o.under();
            for (int column = run.begin; column < run.end; ++column) {
                const uint32_t a = sideShadowAt(t0 + float(column) * dt);
                o.out[column] = px::over(px::shadow(a), under[column]);
            }
        } else {
            for (int column = run.begin; column < run.end; ++column) {
                o.put(column, px::shadow(sideShadowAt(t0 + float(column) * dt)));
            }
        }
        fadingShadow(o, r, y, {run.end, span.end});
    }

    // Columns of `span`, all beyond the cylinder, where the page has not all the paper that casts
    // the shadow there, which fades with how much is missing: worked out in full, as pixel() does.
    // The shadows' strengths are found a chunk at a time apart from the pixels they are laid
    // over, for the compiler to vectorise that loop.
    CURL_LOOP_CLONES void fadingShadow(const RowOut& o, const Row& r, double y, Span span) const {
        constexpr int kChunk = 64;
        uint32_t alphas[kChunk];
        for (int begin = span.begin; begin < span.end; begin += kChunk) {
            const int n = std::min(kChunk, span.end - begin);
            for (int i = 0; i < n; ++i) {
                const int column = begin + i;
                alphas[i] = strength(sideShadow(column + 0.5, y, r.along + column * curl_.ux));
            }
            for (int i = 0; i < n; ++i) o.put(begin + i, px::shadow(alphas[i]));
        }
    }

    // The side shadow's alpha (0 to 255) at `t` of its width beyond the cylinder, where the page
    // has all the paper that casts it; in floats, for the compiler to vectorise its loops.
    static uint32_t sideShadowAt(float t) {
        const float left = 1.0f - std::min(std::max(t, 0.0f), 1.0f);
        return uint32_t(int32_t(float(kSideShadow) * left * left * 255.0f + 0.5f));
    }

    // Columns of `span`, all ahead of the axis, where the page lies flat and the flap, close by,
    // may shade it. Those where the flap's paper is not there at all, the most of them, take only
    // its shadow, which is worked out in floats, for the compiler to vectorise the loop.
    void aheadPixels(const RowOut& o, const uint32_t* flat, const Row& r, double y,
                     Span span) const {
        const Span paper = insideBy(span, r.flapX, r.flapY, r.flapDx, r.flapDy, page_.width,
                                    page_.height, -0.5 - kSlackAlong);
        const Span edge = paper.empty() ? Span{span.end, span.end} : paper;
        flapShadow(o, flat, r, y, {span.begin, edge.begin});
        anyPixels(o, flat, r, y, edge);
        flapShadow(o, flat, r, y, {edge.end, span.end});
    }

    // Columns of `span` where the flap's paper lies half a pixel or more away: the flat page in
    // the flap's shadow (flatAndFlap()).
    CURL_LOOP_CLONES void flapShadow(const RowOut& o, const uint32_t* flat, const Row& r, double y,
                                     Span span) const {
        if (!o.hidesTarget()) {
            anyPixels(o, flat, r, y, span);
            return;
        }
        const auto w = float(page_.width), h = float(page_.height);
        const auto x0 = float(r.flapX), y0 = float(r.flapY);
        const auto dx = float(r.flapDx), dy = float(r.flapDy);
        const auto along0 = float(r.along), step = float(curl_.ux);
        const auto width = float(flapShadowWidth_);
        for (int column = span.begin; column < span.end; ++column) {
            const float fx = x0 + float(column) * dx, fy = y0 + float(column) * dy;
            const float ox = std::max(0.0f, std::max(-fx, fx - w));
            const float oy = std::max(0.0f, std::max(-fy, fy - h));
            const float t = std::min(std::sqrt(ox * ox + oy * oy) / width, 1.0f);
            const float near = std::min(1.0f, (along0 + float(column) * step) / width);
            const auto a = uint32_t(int32_t(
                float(kFlapShadow) * (1 - t) * (1 - t) * std::max(near, 0.0f) * 255.0f + 0.5f));
            o.out[column] = px::over(px::shadow(a), flat[column]);
        }
    }

    // Columns of `span` where the page lies flat and untouched.
    void paintFlat(const RowOut& o, const uint32_t* flat, Span span) const {
        const int n = span.end - span.begin;
        if (o.writesPaper()) {
            std::memcpy(o.out + span.begin, flat + span.begin, size_t(n) * sizeof(uint32_t));
        } else {
            o.uncover(span.begin, span.end);
            CAPixelKernels::blendRow(o.out + span.begin, flat + span.begin, n, int(o.alpha));
        }
    }

    // Columns of `span` where the flap covers the flat page, in full shadow under it. The flap is
    // the page mirrored, an affine map, so its paper is sampled a row at a time by the kernel,
    // but for the few pixels at the ends whose taps reach past the page's edge.
    void paintFlap(const RowOut& o, const uint32_t* flat, const Row& r, Span span) const {
        const auto walk =
            CAPixelSample::RowWalk::make(r.flapX - 0.5, r.flapY - 0.5, r.flapDx, r.flapDy);
        Span inside = CAPixelSample::tapsInside(span, walk, page_.width, page_.height);
        if (inside.empty()) inside = {span.end, span.end};
        flapPixels(o, flat, r, {span.begin, inside.begin});
        const int n = inside.end - inside.begin;
        if (n > 0 && o.hidesTarget()) {
            // The page's back mixed toward white and laid over the shaded page is, with an opaque
            // page, one fixed mix of the two and white.
            uint32_t* out = o.out + inside.begin;
            CAPixelKernels::sampleRow(out, nullptr, page_.pixels, page_.stride,
                                      walk.from(inside.begin), n, 256);
            auto* bytes = reinterpret_cast<uint8_t*>(out);
            CAPixelKernels::mixLanes(bytes, bytes,
                                     reinterpret_cast<const uint8_t*>(flat + inside.begin), 4 * n,
                                     flapMix_.paper, flapMix_.page, flapMix_.white);
            for (int i = 0; i < n; ++i) out[i] |= 0xFF000000u;
        } else if (n > 0) {
            // Over a target the paper is read apart, as the flap lets a little of it through.
            thread_local std::vector<uint32_t> scratch;
            uint32_t* paper = o.out + inside.begin;
            if (o.over) {
                scratch.resize(size_t(n));
                paper = scratch.data();
            }
            CAPixelKernels::sampleRow(paper, nullptr, page_.pixels, page_.stride,
                                      walk.from(inside.begin), n, 256);
            for (int i = 0; i < n; ++i) {
                const int column = inside.begin + i;
                const Pixel back =
                    px::tint(paper[i], flapTint_.keep, flapTint_.white, kBackOpacity);
                o.put(column, px::over(back, px::over(underFlap_, flat[column])));
            }
        }
        flapPixels(o, flat, r, {inside.end, span.end});
    }

    // Columns of `span` of the flap, each sampled on its own.
    void flapPixels(const RowOut& o, const uint32_t* flat, const Row& r, Span span) const {
        for (int column = span.begin; column < span.end; ++column) {
            const Pixel paper =
                sampler_.at(r.flapX + column * r.flapDx, r.flapY + column * r.flapDy);
            const Pixel back = px::tint(paper, flapTint_.keep, flapTint_.white, kBackOpacity);
            o.put(column, px::over(back, px::over(underFlap_, flat[column])));
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
        const double beside =
            falloff(outside(fx, fy) / flapShadowWidth_) * std::min(1.0, along / flapShadowWidth_);
        const double dark = kFlapShadow * (in >= 0 ? 1 : beside);
        const Pixel shaded = px::over(shadow(dark), flat);
        if (in <= -0.5) return shaded;
        const uint32_t opacity = (weight(in + 0.5) * kBackOpacity) >> 8;
        const Pixel back = px::tint(sampler_.at(fx, fy), flapTint_.keep, flapTint_.white, opacity);
        return px::over(back, shaded);
    }

    // Over the cylinder at `column` of `row`, f along the table, where the paper of both layers
    // lies whole inside the page or the upper layer's has run out: the same as cylinder() there,
    // in fewer steps. Whether it was so.
    bool cylinderOnPaper(int column, int row, int32_t f, Pixel& out) const {
        const CAPageCurlCylinderTable::FixedEntry e = table_.atFixed(f);
        // The top-left taps of each layer's paper (the pixel's centre less half a pixel, moved).
        const int32_t ux = (column << 16) + e.upperX, uy = (row << 16) + e.upperY;
        const int32_t lx = (column << 16) + e.lowerX, ly = (row << 16) + e.lowerY;
        if (tapsInside(ux, uy)) {
            // The lower layer's nearest pixel, whose centre must lie inside the page.
            const int32_t nx = lx + 0x8000, ny = ly + 0x8000;
            if (nx < 0x8000 || ny < 0x8000 || nx > fixedWidth_ - 0x8000 ||
                ny > fixedHeight_ - 0x8000) {
                return false;
            }
            const Pixel front = px::shade(page_.row(ny >> 16)[nx >> 16], e.shade);
            const uint32_t opacity = (256 * kBackOpacity) >> 8;
            out = px::over(px::tint(sampleAt(ux, uy), e.keep, e.white, opacity), front);
            return true;
        }
        // With the upper layer wholly off the page, only the front shows.
        const bool upperGone =
            ux <= -65536 || uy <= -65536 || ux >= fixedWidth_ || uy >= fixedHeight_;
        if (!upperGone || !tapsInside(lx, ly)) return false;
        out = px::shade(sampleAt(lx, ly), e.shade);
        return true;
    }

    // Whether all four taps from (x, y), 16.16, lie inside the page.
    bool tapsInside(int32_t x, int32_t y) const {
        return x >= 0 && y >= 0 && x < fixedWidth_ - 65536 && y < fixedHeight_ - 65536;
    }

    // The page sampled bilinearly from the taps at (x, y), 16.16, inside it.
    Pixel sampleAt(int32_t x, int32_t y) const {
        const uint32_t* p = page_.row(y >> 16) + (x >> 16);
        return CAPixelSample::bilinear(p[0], p[1], p[page_.stride], p[page_.stride + 1],
                                       uint32_t(x >> 8) & 0xFF, uint32_t(y >> 8) & 0xFF);
    }

    // Over the cylinder: its back half over its front half over the shadow beneath it.
    Pixel cylinder(double x, double y, double along) const {
        const double edge = along + curl_.radius + 0.5;  // the silhouette's anti-aliasing
        const CAPageCurlCylinderTable::Entry e = table_.at(along);
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
        const double shift = along + 0.5 * kPi * r;
        const double missing = outside(x - shift * curl_.ux, y - shift * curl_.uy);
        return away <= 0 ? 0 : kSideShadow * away * falloff(missing / (0.5 * kPi * r));
    }

    // How far (x, y) lies from the page's rectangle; 0 inside.
    double outside(double x, double y) const {
        const double dx = std::max(std::max(0.0, -x), x - page_.width);
        const double dy = std::max(std::max(0.0, -y), y - page_.height);
        return ((dx == 0) | (dy == 0)) ? dx + dy : std::sqrt(dx * dx + dy * dy);
    }

    // Where the paper that a pixel over the cylinder reads lies kAheadRows rows later, in the
    // page's pixels from it: the pixel as far along the pull that many rows down, -uy/ux columns
    // across a row, reads the page at the same offsets from itself. Under a pull straight up or
    // down no pixel of a later row lies as far along, and one too far across lies in another tile;
    // under a pull to either side the paper lies along the page's rows, which the processor's own
    // prefetching follows.
    static int32_t aheadOf(const CAPageCurlGeometry& curl, int stride) {
        if (curl.ux == 0 || curl.uy == 0) return 0;
        const double across = -kAheadRows * curl.uy / curl.ux;
        if (std::fabs(across) > kTileColumns) return 0;
        return int32_t(kAheadRows * stride + std::lround(across));
    }

    const CAPixelBuffer& page_;
    CAPageCurlSampler sampler_;
    const CAPageCurlGeometry& curl_;
    CAPageCurlCylinderTable table_;
    double flapShadowWidth_;
    Pixel underFlap_;
    BackTint flapTint_;
    FlapMix flapMix_;
    int32_t fixedWidth_, fixedHeight_;  // the page's size, 16.16
    int32_t ahead_;                     // aheadOf()
};

}  // namespace

void CAPageCurlRaster(const CAPixelBuffer& out, const CAPixelBuffer& page,
                      const CAPageCurlGeometry& curl) {
    const CurlPainter painter(page, curl);
    const int bands = (out.height + kBandRows - 1) / kBandRows;
    CAPixelWorkers::forEach(bands, int64_t(out.width) * out.height, [&](int band) {
        const int top = band * kBandRows;
        const int count = std::min(kBandRows, out.height - top);
        std::array<RowOut, kBandRows> outs;
        for (int i = 0; i < count; ++i) outs[size_t(i)] = {out.row(top + i)};
        painter.paintBand(outs.data(), top, count, {0, page.width});
    });
}

namespace {

// Lays the pixels of `under` at the target's columns [x0, x1) of row `row`.
void uncover(const CAPixelBuffer& target, const CAPixelUnder& under, int row, int x0, int x1) {
    if (x1 > x0) {
        std::memcpy(target.row(row) + x0, under.row(row) + x0, size_t(x1 - x0) * sizeof(uint32_t));
    }
}

// Lays `under` over the pixels of `clip` that lie outside `area`, which the page does not reach.
void uncoverAround(const CAPixelBuffer& target, const CAPixelRect& clip, const CAPixelRect& area,
                   const CAPixelUnder& under) {
    for (int row = clip.y0; row < clip.y1; ++row) {
        if (area.isEmpty() || row < area.y0 || row >= area.y1) {
            uncover(target, under, row, clip.x0, clip.x1);
        } else {
            uncover(target, under, row, clip.x0, area.x0);
            uncover(target, under, row, area.x1, clip.x1);
        }
    }
}

// CAPageCurlRasterOver, over `under` where it is given.
void rasterOver(const CAPixelBuffer& target, const CAPixelRect& clip, int x, int y,
                const CAPixelBuffer& page, CAPixelSource kind, const CAPageCurlGeometry& curl,
                int alpha, const CAPixelUnder* under) {
    const CAPixelRect bounds = clip.intersect({0, 0, target.width, target.height});
    CAPixelRect area = bounds.intersect({x, y, x + page.width, y + page.height});
    if (alpha <= 0) area = {};
    if (under) uncoverAround(target, bounds, area, *under);
    if (area.isEmpty()) return;
    const CurlPainter painter(page, curl);
    const int bands = (area.y1 - area.y0 + kBandRows - 1) / kBandRows;
    const int64_t pixels = int64_t(area.x1 - area.x0) * (area.y1 - area.y0);
    CAPixelWorkers::forEach(bands, pixels, [&](int band) {
        const int top = area.y0 + band * kBandRows;
        const int count = std::min(kBandRows, area.y1 - top);
        std::array<RowOut, kBandRows> outs;
        // Indexed by the page's column.
        for (int i = 0; i < count; ++i) {
            outs[size_t(i)] = {.out = target.row(top + i) + x,
                               .over = true,
                               .alpha = uint32_t(std::min(alpha, 256)),
                               .pageOpaque = kind == CAPixelSource::Opaque,
                               .below = under ? under->row(top + i) + x : nullptr};
        }
        painter.paintBand(outs.data(), top - y, count, {area.x0 - x, area.x1 - x});
    });
}

}  // namespace

void CAPageCurlRasterOver(const CAPixelBuffer& target, const CAPixelRect& clip, int x, int y,
                          const CAPixelBuffer& page, CAPixelSource kind,
                          const CAPageCurlGeometry& curl, int alpha) {
    rasterOver(target, clip, x, y, page, kind, curl, alpha, nullptr);
}

void CAPageCurlRasterOverPicture(const CAPixelBuffer& target, const CAPixelRect& clip, int x, int y,
                                 const CAPixelBuffer& page, CAPixelSource kind,
                                 const CAPageCurlGeometry& curl, int alpha,
                                 const CAPixelUnder& under) {
    rasterOver(target, clip, x, y, page, kind, curl, alpha, &under);
}
