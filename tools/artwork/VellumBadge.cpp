// The vellum design: parchment with mottled fibres and browned edges, a ruled ink border, the
// arrow in sepia ink and a small red wax seal on the trailing half.

#include "tools/artwork/BadgeDesigns.h"
#include "tools/artwork/BadgePaint.h"
#include "tools/artwork/Noise.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr uint32_t kPaperSeed = 0x7e11u;
constexpr Rgba kInk = rgb8(96, 60, 30);

Rgba paperAt(int u, int v) {
    const double mottle = fractalNoise(u / 16.0, v / 16.0, kPaperSeed, 4);
    const double fibres = fractalNoise(u * 0.6, v * 0.08, kPaperSeed + 3, 2);
    const double grain = latticeValue(u, v, kPaperSeed + 5);
    const double age = std::pow(mottle, 1.6) * 0.85 + (fibres - 0.5) * 0.18 + (grain - 0.5) * 0.08;
    return mixRgba(rgb8(248, 239, 214), rgb8(214, 186, 132), std::clamp(age, 0.0, 1.0));
}

void addBorderRule(cairo_t* cr) {
    addTabPath(cr, 4.5);
}

// The seal's rim is uneven, as pressed wax is.
void addSealPath(cairo_t* cr, double radius) {
    constexpr int steps = 72;
    for (int i = 0; i <= steps; ++i) {
        const double angle = 2 * std::numbers::pi * i / steps;
        const double r = radius + 0.7 * std::sin(7 * angle) + 0.4 * std::sin(11 * angle + 1);
        const double u = kEmblemU + r * std::cos(angle), v = kEmblemV + r * std::sin(angle);
        i == 0 ? cairo_move_to(cr, u, v) : cairo_line_to(cr, u, v);
    }
    cairo_close_path(cr);
}

void addSealMarkPath(cairo_t* cr) {
    cairo_new_sub_path(cr);
    cairo_arc(cr, kEmblemU, kEmblemV, 6.2, 0, 2 * std::numbers::pi);
    cairo_move_to(cr, kEmblemU - 3.4, kEmblemV + 1.6);
    cairo_line_to(cr, kEmblemU, kEmblemV - 2);
    cairo_line_to(cr, kEmblemU + 3.4, kEmblemV + 1.6);
}

// The wax of the seal over its shadow, lit from the upper left.
void pourWax(cairo_t* cr, const BadgeFrame& frame) {
    const CairoStateSaver saver(cr);
    useBadgeSpace(cr, frame, 0, 1);
    cairo_new_path(cr);
    addSealPath(cr, 10.5);
    setSourceRgba(cr, rgb8(60, 20, 10, 0.45));
    cairo_fill(cr);
    useBadgeSpace(cr, frame);
    addSealPath(cr, 10);
    double x = kEmblemU, y = kEmblemV;
    cairo_user_to_device(cr, &x, &y);
    const CairoPatternPtr wax(cairo_pattern_create_radial(x - 3, y - 4, 1, x, y, 11));
    addStop(wax.get(), 0, rgb8(222, 70, 64));
    addStop(wax.get(), 0.6, rgb8(170, 24, 30));
    addStop(wax.get(), 1, rgb8(118, 12, 18));
    setImageSource(cr, wax.get());
    cairo_fill(cr);
}

void pressSeal(cairo_t* cr, const BadgeFrame& frame) {
    pourWax(cr, frame);
    engraveMarks(cr, frame, addSealMarkPath, 1.4, rgb8(100, 8, 14, 0.9), rgb8(255, 160, 150, 0.5));
}

}  // namespace

void paintVellumBadge(cairo_t* cr, const BadgeFrame& frame) {
    const CairoSurfacePtr paper = textureSurface(kBadgeAcross, kBadgeAlong, paperAt);
    fillTabWithTexture(cr, frame, paper.get());
    // Old paper browns from the edges inwards.
    shadeTabRim(cr, frame, 7, rgb8(150, 100, 40, 0.55));
    fillTabTopDown(cr, frame, {{0, rgb8(255, 255, 255, 0.12)}, {1, rgb8(90, 60, 20, 0.1)}});
    strokeBadgePath(cr, frame, addBorderRule, 0.8, rgb8(110, 70, 34, 0.6));
    strokeBadgePath(cr, frame, addArrowPath, 3.4, kInk);
    strokeBadgePath(cr, frame, addGripPath, 1.6, rgb8(96, 60, 30, 0.85));
    pressSeal(cr, frame);
    outlineTab(cr, frame, rgb8(140, 96, 46, 0.8));
}
