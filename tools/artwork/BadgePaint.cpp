#include "tools/artwork/BadgePaint.h"

#include "tools/artwork/SoftShadow.h"

void addMarksPath(cairo_t* cr) {
    addArrowPath(cr);
    addGripPath(cr);
}

void strokeBadgePath(cairo_t* cr, const BadgeFrame& frame, BadgePathBuilder addPath, double width,
                     const Rgba& colour, double dy) {
    const CairoStateSaver saver(cr);
    useBadgeSpace(cr, frame, 0, dy);
    cairo_new_path(cr);
    addPath(cr);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_set_line_width(cr, width);
    setSourceRgba(cr, colour);
    cairo_stroke(cr);
}

void fillTabTopDown(cairo_t* cr, const BadgeFrame& frame,
                    std::initializer_list<std::pair<double, Rgba>> stops) {
    const CairoPatternPtr gradient = createTopDownGradient(frame);
    for (const auto& [offset, colour] : stops) addStop(gradient.get(), offset, colour);
    cairo_new_path(cr);
    addTabPath(cr, 0);
    setImageSource(cr, gradient.get());
    cairo_fill(cr);
}

void fillTabWithTexture(cairo_t* cr, const BadgeFrame& frame, cairo_surface_t* texture,
                        double inset) {
    useBadgeSpace(cr, frame);
    const CairoPatternPtr pattern(cairo_pattern_create_for_surface(texture));
    // Badge pixels land exactly on image pixels (quarter turns and mirrors only).
    cairo_pattern_set_filter(pattern.get(), CAIRO_FILTER_NEAREST);
    cairo_new_path(cr);
    addTabPath(cr, inset);
    cairo_set_source(cr, pattern.get());
    cairo_fill(cr);
}

void shadeTabRim(cairo_t* cr, const BadgeFrame& frame, int radius, const Rgba& colour) {
    Canvas shape(frame.width, frame.height);
    useBadgeSpace(shape.cr(), frame);
    addTabPath(shape.cr(), 0);
    cairo_fill(shape.cr());
    const CairoSurfacePtr mask = innerEdgeMask(shape.surface(), radius);
    const CairoStateSaver saver(cr);
    cairo_identity_matrix(cr);
    setSourceRgba(cr, colour);
    cairo_mask_surface(cr, mask.get(), 0, 0);
}

namespace {

// The gloss's highlight over the upper part of the tab, within its rim, in pixels.
void paintHighlight(cairo_t* cr, const BadgeFrame& frame, double topAlpha, double bottomAlpha) {
    const CairoStateSaver saver(cr);
    cairo_new_path(cr);
    addTabPath(cr, 0);
    cairo_clip(cr);
    cairo_new_path(cr);
    addTabPath(cr, 2.5);
    cairo_clip(cr);
    cairo_identity_matrix(cr);
    // The highlight ends in a soft, slightly curved line a little above the middle.
    const double end = kTabMargin + (frame.height - 2 * kTabMargin) * 0.46;
    cairo_move_to(cr, 0, 0);
    cairo_line_to(cr, frame.width, 0);
    cairo_line_to(cr, frame.width, end - 3);
    cairo_curve_to(cr, frame.width * 0.66, end + 1, frame.width * 0.33, end + 1, 0, end - 3);
    cairo_close_path(cr);
    const CairoPatternPtr gradient(cairo_pattern_create_linear(0, kTabMargin, 0, end + 1));
    cairo_pattern_add_color_stop_rgba(gradient.get(), 0, 1, 1, 1, topAlpha);
    cairo_pattern_add_color_stop_rgba(gradient.get(), 1, 1, 1, 1, bottomAlpha);
    cairo_set_source(cr, gradient.get());
    cairo_fill(cr);
}

}  // namespace

void paintGloss(cairo_t* cr, const BadgeFrame& frame, double topAlpha, double bottomAlpha) {
    paintHighlight(cr, frame, topAlpha, bottomAlpha);
    useBadgeSpace(cr, frame);
}

void outlineTab(cairo_t* cr, const BadgeFrame& frame, const Rgba& colour, double width) {
    useBadgeSpace(cr, frame);
    cairo_new_path(cr);
    addTabPath(cr, width / 2);
    cairo_set_line_width(cr, width);
    setSourceRgba(cr, colour);
    cairo_stroke(cr);
}

void highlightUpperRim(cairo_t* cr, const BadgeFrame& frame, double alpha) {
    const CairoPatternPtr gradient = createTopDownGradient(frame);
    cairo_pattern_add_color_stop_rgba(gradient.get(), 0, 1, 1, 1, alpha);
    cairo_pattern_add_color_stop_rgba(gradient.get(), 0.5, 1, 1, 1, alpha * 0.25);
    cairo_pattern_add_color_stop_rgba(gradient.get(), 1, 1, 1, 1, 0);
    useBadgeSpace(cr, frame);
    cairo_new_path(cr);
    addTabPath(cr, 1.5);
    cairo_set_line_width(cr, 1);
    setImageSource(cr, gradient.get());
    cairo_stroke(cr);
}

void engraveMarks(cairo_t* cr, const BadgeFrame& frame, BadgePathBuilder addPath, double width,
                  const Rgba& groove, const Rgba& lip) {
    strokeBadgePath(cr, frame, addPath, width, lip, 1);
    strokeBadgePath(cr, frame, addPath, width, groove, 0);
}

void raiseMarks(cairo_t* cr, const BadgeFrame& frame, BadgePathBuilder addPath, double width,
                const Rgba& mark, const Rgba& shadow) {
    strokeBadgePath(cr, frame, addPath, width + 1, shadow, 1);
    strokeBadgePath(cr, frame, addPath, width, mark, 0);
}
