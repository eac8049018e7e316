// The grey design: brushed steel, the brushing running along the pull, with an engraved arrow
// and two rivets at the trailing end.

#include "tools/artwork/BadgeDesigns.h"
#include "tools/artwork/BadgePaint.h"
#include "tools/artwork/Noise.h"

#include <numbers>

namespace {

constexpr uint32_t kBrushSeed = 0xb7a55u;

// Brushing: fine streaks along v, each column a little lighter or darker, slowly varying.
Rgba brushAt(int u, int v) {
    const double streak = fractalNoise(u * 1.1, v * 0.04, kBrushSeed, 2) - 0.5;
    const double grain = latticeValue(u, v, kBrushSeed + 7) - 0.5;
    const double s = streak * 0.9 + grain * 0.2;
    return s > 0 ? Rgba{1, 1, 1, s * 0.45} : Rgba{0, 0, 0, -s * 0.3};
}

void addEmblemPath(cairo_t* cr) {
    cairo_new_sub_path(cr);
    cairo_arc(cr, kEmblemU, kEmblemV - 2, 6.5, 0, 2 * std::numbers::pi);
}

// A rivet's shadow and domed head at (x, y) in pixels.
void paintRivetAt(cairo_t* cr, double x, double y) {
    const CairoStateSaver saver(cr);
    cairo_identity_matrix(cr);
    cairo_arc(cr, x, y + 0.8, 3.6, 0, 2 * std::numbers::pi);
    cairo_set_source_rgba(cr, 0.1, 0.12, 0.14, 0.45);
    cairo_fill(cr);
    // A domed head, lit from the upper left.
    const CairoPatternPtr dome(cairo_pattern_create_radial(x - 1.2, y - 1.2, 0.3, x, y, 3.2));
    addStop(dome.get(), 0, rgb8(252, 253, 255));
    addStop(dome.get(), 0.5, rgb8(176, 182, 189));
    addStop(dome.get(), 1, rgb8(98, 104, 112));
    cairo_arc(cr, x, y, 3.2, 0, 2 * std::numbers::pi);
    cairo_set_source(cr, dome.get());
    cairo_fill(cr);
}

void paintRivet(cairo_t* cr, const BadgeFrame& frame, double u, double v) {
    double x = u, y = v;
    cairo_user_to_device(cr, &x, &y);
    paintRivetAt(cr, x, y);
    useBadgeSpace(cr, frame);
}

}  // namespace

void paintGreyBadge(cairo_t* cr, const BadgeFrame& frame) {
    // A polished band across the middle, as metal reflects the horizon.
    fillTabTopDown(cr, frame,
                   {{0, rgb8(226, 230, 234)},
                    {0.42, rgb8(190, 195, 201)},
                    {0.52, rgb8(150, 156, 163)},
                    {1, rgb8(196, 201, 206)}});
    const CairoSurfacePtr brushing = textureSurface(kBadgeAcross, kBadgeAlong, brushAt);
    fillTabWithTexture(cr, frame, brushing.get());
    shadeTabRim(cr, frame, 3, rgb8(40, 44, 50, 0.35));
    engraveMarks(cr, frame, addMarksPath, 3.2, rgb8(72, 78, 86, 0.95), rgb8(255, 255, 255, 0.75));
    engraveMarks(cr, frame, addEmblemPath, 1.6, rgb8(86, 92, 100, 0.9), rgb8(255, 255, 255, 0.6));
    paintRivet(cr, frame, 20, 84);
    paintRivet(cr, frame, 60, 84);
    highlightUpperRim(cr, frame, 0.8);
    outlineTab(cr, frame, rgb8(82, 88, 96, 0.95));
}
