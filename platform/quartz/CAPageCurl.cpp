#include "platform/quartz/CAPageCurl.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

struct Point {
    double x, y;
};

// The part of `polygon` where p·u < limit (Sutherland-Hodgman against one half-plane).
std::vector<Point> clipBelow(const std::vector<Point>& polygon, Point u, double limit) {
    std::vector<Point> out;
    auto side = [&](Point p) { return p.x * u.x + p.y * u.y - limit; };
    for (size_t i = 0; i < polygon.size(); ++i) {
        const Point a = polygon[i], b = polygon[(i + 1) % polygon.size()];
        const double sa = side(a), sb = side(b);
        if (sa < 0) out.push_back(a);
        if ((sa < 0) != (sb < 0)) {
            const double t = sa / (sa - sb);
            out.push_back({a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t});
        }
    }
    return out;
}

void addPolygon(cairo_t* cr, const std::vector<Point>& polygon) {
    cairo_new_path(cr);
    for (size_t i = 0; i < polygon.size(); ++i) {
        if (i == 0)
            cairo_move_to(cr, polygon[i].x, polygon[i].y);
        else
            cairo_line_to(cr, polygon[i].x, polygon[i].y);
    }
    cairo_close_path(cr);
}

}  // namespace

void CAPageCurlDraw(cairo_t* cr, cairo_surface_t* page, double time, double angle, double opacity) {
    const double w = cairo_image_surface_get_width(page);
    const double h = cairo_image_surface_get_height(page);
    const std::vector<Point> whole = {{0, 0}, {w, 0}, {w, h}, {0, h}};
    const Point u{std::cos(angle), std::sin(angle)};
    // The page's extent along the pull direction; the fold line sweeps across it with time,
    // starting at the edge that trails the pull.
    double lo = 1e300, hi = -1e300;
    for (Point p : whole) {
        lo = std::min(lo, p.x * u.x + p.y * u.y);
        hi = std::max(hi, p.x * u.x + p.y * u.y);
    }
    const double fold = lo + std::clamp(time, 0.0, 1.0) * (hi - lo);
    // Flat part: where the page has not been reached by the fold.
    const std::vector<Point> turned = clipBelow(whole, u, fold);
    const std::vector<Point> flat = clipBelow(whole, {-u.x, -u.y}, -fold);

    cairo_save(cr);
    cairo_set_source_surface(cr, page, 0, 0);
    if (!flat.empty()) {
        addPolygon(cr, flat);
        cairo_clip(cr);
        cairo_paint_with_alpha(cr, opacity);
        cairo_reset_clip(cr);
    }
    cairo_restore(cr);
    if (turned.empty()) return;

    // The turned part, mirrored across the fold line: p' = p - 2 (p·u - fold) u.
    cairo_save(cr);
    cairo_matrix_t mirror;
    cairo_matrix_init(&mirror, 1 - 2 * u.x * u.x, -2 * u.x * u.y, -2 * u.x * u.y, 1 - 2 * u.y * u.y,
                      2 * fold * u.x, 2 * fold * u.y);
    cairo_transform(cr, &mirror);
    addPolygon(cr, turned);
    cairo_clip(cr);
    cairo_set_source_surface(cr, page, 0, 0);
    cairo_paint_with_alpha(cr, opacity);
    // The back of the page shows through faintly: lighten it.
    cairo_set_source_rgba(cr, 1, 1, 1, 0.65 * opacity);
    cairo_paint(cr);
    // Shade toward the fold, where the paper bends away from the light.
    cairo_pattern_t* shade =
        cairo_pattern_create_linear(fold * u.x, fold * u.y, (fold - 40) * u.x, (fold - 40) * u.y);
    cairo_pattern_add_color_stop_rgba(shade, 0, 0, 0, 0, 0.35 * opacity);
    cairo_pattern_add_color_stop_rgba(shade, 1, 0, 0, 0, 0);
    cairo_set_source(cr, shade);
    cairo_paint(cr);
    cairo_pattern_destroy(shade);
    cairo_restore(cr);
}
