// The custom design: near-white with soft shading only. The badge is shown multiplied by the
// user's colour, so white takes the colour fully while the shading, the embossed arrow and the
// outline stay visible as darker tones of it.

#include "tools/artwork/BadgeDesigns.h"
#include "tools/artwork/BadgePaint.h"

#include <numbers>

namespace {

void addEmblemPath(cairo_t* cr) {
    cairo_new_sub_path(cr);
    cairo_arc(cr, kEmblemU, kEmblemV, 7, 0, 2 * std::numbers::pi);
}

}  // namespace

void paintCustomBadge(cairo_t* cr, const BadgeFrame& frame) {
    fillTabTopDown(
        cr, frame,
        {{0, rgb8(255, 255, 255)}, {0.5, rgb8(246, 246, 246)}, {1, rgb8(222, 222, 222)}});
    shadeTabRim(cr, frame, 5, rgb8(120, 120, 120, 0.28));
    engraveMarks(cr, frame, addMarksPath, 3.2, rgb8(168, 168, 168), rgb8(255, 255, 255));
    engraveMarks(cr, frame, addEmblemPath, 2, rgb8(178, 178, 178), rgb8(255, 255, 255));
    paintGloss(cr, frame, 0.7, 0.0);
    highlightUpperRim(cr, frame, 0.9);
    outlineTab(cr, frame, rgb8(140, 140, 140));
}
