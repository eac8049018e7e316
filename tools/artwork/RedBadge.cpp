// The red design: lacquered candy red with a glassy highlight and a white raised arrow.

#include "tools/artwork/BadgeDesigns.h"
#include "tools/artwork/BadgePaint.h"

#include <numbers>

namespace {

void addEmblemPath(cairo_t* cr) {
    cairo_new_sub_path(cr);
    cairo_arc(cr, kEmblemU, kEmblemV, 7, 0, 2 * std::numbers::pi);
}

}  // namespace

void paintRedBadge(cairo_t* cr, const BadgeFrame& frame) {
    fillTabTopDown(cr, frame,
                   {{0, rgb8(246, 86, 70)}, {0.45, rgb8(214, 28, 28)}, {1, rgb8(132, 10, 12)}});
    shadeTabRim(cr, frame, 5, rgb8(90, 0, 0, 0.45));
    raiseMarks(cr, frame, addArrowPath, 3.6, rgb8(255, 255, 255, 0.95), rgb8(90, 0, 0, 0.55));
    raiseMarks(cr, frame, addGripPath, 2.4, rgb8(255, 255, 255, 0.95), rgb8(90, 0, 0, 0.55));
    engraveMarks(cr, frame, addEmblemPath, 2, rgb8(110, 6, 8, 0.8), rgb8(255, 150, 140, 0.45));
    paintGloss(cr, frame, 0.62, 0.08);
    highlightUpperRim(cr, frame, 0.5);
    outlineTab(cr, frame, rgb8(96, 4, 6, 0.9));
}
