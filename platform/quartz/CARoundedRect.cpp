#include "platform/quartz/CARoundedRect.h"

#include <algorithm>
#include <numbers>

void CAAddRoundedRect(cairo_t* cr, const CGRect& rect, float radius) {
    const double x = rect.origin.x, y = rect.origin.y, w = rect.size.width, h = rect.size.height;
    const double r = CAClampedCornerRadius(rect, radius);
    if (r <= 0) {
        cairo_rectangle(cr, x, y, w, h);
        return;
    }
    // The four corners in turn, clockwise as cairo_rectangle goes.
    constexpr double quarter = std::numbers::pi / 2;
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - r, y + r, r, -quarter, 0);
    cairo_arc(cr, x + w - r, y + h - r, r, 0, quarter);
    cairo_arc(cr, x + r, y + h - r, r, quarter, 2 * quarter);
    cairo_arc(cr, x + r, y + r, r, 2 * quarter, 3 * quarter);
    cairo_close_path(cr);
}

void CAAddBorderBand(cairo_t* cr, const CGRect& rect, float radius, float width) {
    const float outer = CAClampedCornerRadius(rect, radius);
    CAAddRoundedRect(cr, rect, outer);
    const CGRect inner = {{rect.origin.x + width, rect.origin.y + width},
                          {rect.size.width - 2 * width, rect.size.height - 2 * width}};
    if (inner.size.width <= 0 || inner.size.height <= 0) return;
    CAAddRoundedRect(cr, inner, std::max(0.f, outer - width));
}
