#include "platform/uikit/UIKitArtwork.h"

#include "platform/graphics/CairoOwners.h"
#include "platform/uikit/UIGraphics.h"
#include "platform/uikit/UIScreen.h"

#include <algorithm>
#include <numbers>

// The shapes go straight to cairo: gradients have no Core Graphics function here, and an image
// context's cairo matrix already maps UIKit points to the bitmap's rows.

namespace {

constexpr double kQuarterTurn = std::numbers::pi / 2;

double channel(uint32_t color, int shift) {
    return double((color >> shift) & 0xFF) / 255.0;
}

CGRect inset(CGRect rect, CGFloat by) {
    return CGRectMake(rect.origin.x + by, rect.origin.y + by, rect.size.width - 2 * by,
                      rect.size.height - 2 * by);
}

void setColor(cairo_t* cr, uint32_t color, double alpha) {
    cairo_set_source_rgba(cr, channel(color, 16), channel(color, 8), channel(color, 0), alpha);
}

void addRoundedRect(cairo_t* cr, CGRect rect, UIArtworkCorners corners) {
    const double x0 = CGRectGetMinX(rect), y0 = CGRectGetMinY(rect);
    const double x1 = CGRectGetMaxX(rect), y1 = CGRectGetMaxY(rect);
    const double limit = std::min(x1 - x0, y1 - y0) / 2;
    const double top = std::clamp(double(corners.top), 0.0, limit);
    const double bottom = std::clamp(double(corners.bottom), 0.0, limit);
    cairo_new_sub_path(cr);
    cairo_arc(cr, x1 - top, y0 + top, top, -kQuarterTurn, 0);
    cairo_arc(cr, x1 - bottom, y1 - bottom, bottom, 0, kQuarterTurn);
    cairo_arc(cr, x0 + bottom, y1 - bottom, bottom, kQuarterTurn, 2 * kQuarterTurn);
    cairo_arc(cr, x0 + top, y0 + top, top, 2 * kQuarterTurn, 3 * kQuarterTurn);
    cairo_close_path(cr);
}

void fillWithGradient(cairo_t* cr, CGRect rect, uint32_t top, uint32_t bottom) {
    const CairoPatternPtr gradient(
        cairo_pattern_create_linear(0, CGRectGetMinY(rect), 0, CGRectGetMaxY(rect)));
    cairo_pattern_add_color_stop_rgb(gradient.get(), 0, channel(top, 16), channel(top, 8),
                                     channel(top, 0));
    cairo_pattern_add_color_stop_rgb(gradient.get(), 1, channel(bottom, 16), channel(bottom, 8),
                                     channel(bottom, 0));
    cairo_set_source(cr, gradient.get());
    cairo_fill(cr);
}

void strokeRoundCapped(cairo_t* cr, uint32_t color, double width) {
    setColor(cr, color, 1);
    cairo_set_line_width(cr, width);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_stroke(cr);
}

}  // namespace

UIImageRef UIArtworkImage(CGSize size, const std::function<void(const CGContextRef&)>& draw,
                          CGFloat opacity) {
    if (!(size.width > 0) || !(size.height > 0)) return nullptr;
    UIGraphicsBeginImageContextWithOptions(size, false, UIScreen::mainScreen()->scale());
    const CGContextRef ctx = UIGraphicsGetCurrentContext();
    cairo_t* cr = CGContextGetCairo(ctx);
    if (cr && opacity < 1) {
        // Faded as a whole: drawn apart, then laid down at the opacity.
        cairo_push_group(cr);
        draw(ctx);
        cairo_pop_group_to_source(cr);
        cairo_paint_with_alpha(cr, std::max(double(opacity), 0.0));
    } else if (cr) {
        draw(ctx);
    }
    UIImageRef image = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    return image;
}

void UIArtworkFillRoundedRect(const CGContextRef& ctx, CGRect rect, UIArtworkCorners corners,
                              uint32_t top, uint32_t bottom) {
    cairo_t* cr = CGContextGetCairo(ctx);
    if (!cr) return;
    const CairoStateSaver saver(cr);
    addRoundedRect(cr, rect, corners);
    fillWithGradient(cr, rect, top, bottom);
}

void UIArtworkStrokeRoundedRect(const CGContextRef& ctx, CGRect rect, UIArtworkCorners corners,
                                CGFloat width, uint32_t color, CGFloat alpha) {
    cairo_t* cr = CGContextGetCairo(ctx);
    if (!cr) return;
    const CairoStateSaver saver(cr);
    const CGFloat half = width / 2;
    addRoundedRect(
        cr, inset(rect, half),
        {std::max<CGFloat>(corners.top - half, 0), std::max<CGFloat>(corners.bottom - half, 0)});
    setColor(cr, color, alpha);
    cairo_set_line_width(cr, width);
    cairo_stroke(cr);
}

void UIArtworkFillCircle(const CGContextRef& ctx, CGRect rect, uint32_t top, uint32_t bottom,
                         uint32_t edge) {
    cairo_t* cr = CGContextGetCairo(ctx);
    if (!cr) return;
    const CairoStateSaver saver(cr);
    const double radius = std::min(CGRectGetWidth(rect), CGRectGetHeight(rect)) / 2;
    cairo_arc(cr, CGRectGetMidX(rect), CGRectGetMidY(rect), radius, 0, 4 * kQuarterTurn);
    setColor(cr, edge, 1);
    cairo_fill(cr);
    cairo_arc(cr, CGRectGetMidX(rect), CGRectGetMidY(rect), radius - 1, 0, 4 * kQuarterTurn);
    fillWithGradient(cr, rect, top, bottom);
}

void UIArtworkChevron(const CGContextRef& ctx, CGRect rect, uint32_t color) {
    cairo_t* cr = CGContextGetCairo(ctx);
    if (!cr) return;
    const CairoStateSaver saver(cr);
    const double x = CGRectGetMidX(rect), y = CGRectGetMidY(rect);
    cairo_move_to(cr, x - 2.5, y - 5);
    cairo_line_to(cr, x + 2.5, y);
    cairo_line_to(cr, x - 2.5, y + 5);
    strokeRoundCapped(cr, color, 3);
}

void UIArtworkCheckmark(const CGContextRef& ctx, CGRect rect, uint32_t color) {
    cairo_t* cr = CGContextGetCairo(ctx);
    if (!cr) return;
    const CairoStateSaver saver(cr);
    const double x = CGRectGetMidX(rect), y = CGRectGetMidY(rect);
    cairo_move_to(cr, x - 6, y);
    cairo_line_to(cr, x - 2, y + 5);
    cairo_line_to(cr, x + 6, y - 7);
    strokeRoundCapped(cr, color, 3);
}

CGColorRef UIArtworkColor(uint32_t color, CGFloat alpha) {
    return CGColorCreate(CGColorSpaceCreateDeviceRGB(),
                         {float(channel(color, 16)), float(channel(color, 8)),
                          float(channel(color, 0)), float(alpha)});
}
