// The cloth design: a woven label in navy, hemmed with gold running stitches, the arrow
// embroidered in the same gold thread.

#include "tools/artwork/BadgeDesigns.h"
#include "tools/artwork/BadgePaint.h"
#include "tools/artwork/Noise.h"

#include <cmath>
#include <numbers>

namespace {

constexpr uint32_t kWeaveSeed = 0x5eed0c10U;
constexpr int kThread = 2;  // thread width in pixels
constexpr Rgba kWarp = rgb8(34, 48, 92);
constexpr Rgba kWeft = rgb8(58, 78, 130);
constexpr Rgba kGold = rgb8(232, 196, 112);

// A two-over-two twill: each warp thread (along the pull) crosses two weft threads (across),
// then passes under two, one step further each row, which gives the cloth its diagonal rib.
Rgba weaveAt(int u, int v) {
    const int warpIndex = u / kThread, weftIndex = v / kThread;
    const bool warpOnTop = (warpIndex + weftIndex) % 4 < 2;
    const int within = warpOnTop ? u % kThread : v % kThread;
    const double roundness = within == 0 ? 1.0 : 0.84;
    const double threadTint = warpOnTop ? 0.9 + 0.2 * latticeValue(warpIndex, 0, kWeaveSeed)
                                        : 0.9 + 0.2 * latticeValue(0, weftIndex, kWeaveSeed + 1);
    const double mottle = 0.92 + 0.16 * fractalNoise(u / 9.0, v / 9.0, kWeaveSeed + 2, 3);
    const Rgba base = warpOnTop ? kWarp : kWeft;
    const double k = roundness * threadTint * mottle;
    return {base.r * k, base.g * k, base.b * k, 1};
}

void addStitchLine(cairo_t* cr) {
    addTabPath(cr, 4.5);
}

void addEmblemPath(cairo_t* cr) {
    // A five-pointed star, embroidered.
    constexpr double outer = 8, inner = 3.4;
    for (int i = 0; i < 10; ++i) {
        const double angle = -std::numbers::pi / 2 + i * std::numbers::pi / 5;
        const double r = i % 2 == 0 ? outer : inner;
        const double u = kEmblemU + r * std::cos(angle), v = kEmblemV + r * std::sin(angle);
        i == 0 ? cairo_move_to(cr, u, v) : cairo_line_to(cr, u, v);
    }
    cairo_close_path(cr);
}

void stitchHem(cairo_t* cr, const BadgeFrame& frame) {
    const CairoStateSaver saver(cr);
    const double dashes[] = {3.2, 2.2};
    cairo_set_dash(cr, dashes, 2, 0);
    strokeBadgePath(cr, frame, addStitchLine, 1.3, rgb8(8, 12, 30, 0.7), 0.8);
    strokeBadgePath(cr, frame, addStitchLine, 1.3, kGold, 0);
}

// Satin stitches: the thread lies across the mark, so the colour is broken by fine diagonals.
void embroider(cairo_t* cr, const BadgeFrame& frame, BadgePathBuilder addPath, double width) {
    strokeBadgePath(cr, frame, addPath, width + 1, rgb8(8, 12, 30, 0.6), 1);
    Canvas thread(frame.width, frame.height);
    strokeBadgePath(thread.cr(), frame, addPath, width, kGold);
    // Drawn atop, the diagonals land only where the thread already is.
    cairo_t* tc = thread.cr();
    cairo_identity_matrix(tc);
    cairo_set_operator(tc, CAIRO_OPERATOR_ATOP);
    for (int d = -frame.height; d < frame.width; d += 2) {
        cairo_move_to(tc, d, 0);
        cairo_line_to(tc, d + frame.height, frame.height);
    }
    cairo_set_line_width(tc, 0.6);
    setSourceRgba(tc, rgb8(150, 110, 40, 0.55));
    cairo_stroke(tc);
    const CairoStateSaver saver(cr);
    cairo_identity_matrix(cr);
    cairo_set_source_surface(cr, thread.surface(), 0, 0);
    cairo_paint(cr);
}

void embroiderStar(cairo_t* cr, const BadgeFrame& frame) {
    const CairoStateSaver saver(cr);
    useBadgeSpace(cr, frame, 0, 1);
    cairo_new_path(cr);
    addEmblemPath(cr);
    setSourceRgba(cr, rgb8(8, 12, 30, 0.6));
    cairo_fill(cr);
    useBadgeSpace(cr, frame);
    addEmblemPath(cr);
    setSourceRgba(cr, kGold);
    cairo_fill(cr);
}

}  // namespace

void paintClothBadge(cairo_t* cr, const BadgeFrame& frame) {
    const CairoSurfacePtr weave = textureSurface(kBadgeAcross, kBadgeAlong, weaveAt);
    fillTabWithTexture(cr, frame, weave.get());
    // The hem is folded under, so the rim sits a little darker than the face.
    shadeTabRim(cr, frame, 4, rgb8(6, 10, 28, 0.55));
    fillTabTopDown(cr, frame, {{0, rgb8(255, 255, 255, 0.14)}, {1, rgb8(0, 0, 0, 0.18)}});
    stitchHem(cr, frame);
    embroider(cr, frame, addMarksPath, 3.6);
    embroiderStar(cr, frame);
    outlineTab(cr, frame, rgb8(10, 16, 40, 0.85));
}
