#include "platform/graphics/CGContext.h"

#include <algorithm>
#include <utility>

#include "platform/graphics/CGContextState.h"
#include "platform/graphics/PictureMemory.h"

namespace {

constexpr size_t kMaxSide = 32767;

cairo_matrix_t cairoMatrix(CGAffineTransform t) {
    cairo_matrix_t m;
    cairo_matrix_init(&m, t.a, t.b, t.c, t.d, t.tx, t.ty);
    return m;
}

CGAffineTransform affineTransform(const cairo_matrix_t& m) {
    return CGAffineTransformMake(m.xx, m.yx, m.xy, m.yy, m.x0, m.y0);
}

// cairo's pixel rows run downward; the platform's bitmap space runs upward. The flip between the
// two is its own inverse.
CGAffineTransform bitmapFlip(int height) {
    return CGAffineTransformMake(1, 0, 0, -1, 0, height);
}

CGColorRef opaqueBlack() {
    static const CGColorRef black = CGColorCreate(CGColorSpaceCreateDeviceGray(), {0, 1});
    return black;
}

}  // namespace

CGContext::CGContext(CairoSurfacePtr surface)
    : surface_(std::move(surface)), cr_(cairo_create(surface_.get())) {
    CGGState initial;
    initial.fillColor = initial.strokeColor = opaqueBlack();
    states_.push_back(initial);
    const cairo_matrix_t base = cairoMatrix(bitmapFlip(height()));
    cairo_set_matrix(cairo(), &base);
}

void CGContext::save() {
    states_.push_back(states_.back());
    cairoStates_.emplace_back(cairo());
}

void CGContext::restore() {
    if (states_.size() == 1) return;
    states_.pop_back();
    cairoStates_.pop_back();
}

CGContextRef CGBitmapContextCreate(size_t pixelWidth, size_t pixelHeight) {
    if (pixelWidth == 0 || pixelHeight == 0) return nullptr;
    if (pixelWidth > kMaxSide || pixelHeight > kMaxSide) return nullptr;
    CairoSurfacePtr surface = pictureSurfaceCreate(int(pixelWidth), int(pixelHeight));
    if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS) return nullptr;
    return std::make_shared<CGContext>(std::move(surface));
}

size_t CGBitmapContextGetWidth(const CGContextRef& ctx) {
    return ctx ? ctx->width() : 0;
}

size_t CGBitmapContextGetHeight(const CGContextRef& ctx) {
    return ctx ? ctx->height() : 0;
}

CGImageRef CGBitmapContextCreateImage(const CGContextRef& ctx) {
    if (!ctx) return nullptr;
    cairo_surface_flush(ctx->surface());
    return CGImageCreateWithSurfaceCopy(ctx->surface());
}

void CGContextSaveGState(const CGContextRef& ctx) {
    if (ctx) ctx->save();
}

void CGContextRestoreGState(const CGContextRef& ctx) {
    if (ctx) ctx->restore();
}

void CGContextTranslateCTM(const CGContextRef& ctx, CGFloat tx, CGFloat ty) {
    if (ctx) cairo_translate(ctx->cairo(), tx, ty);
}

void CGContextScaleCTM(const CGContextRef& ctx, CGFloat sx, CGFloat sy) {
    if (ctx) cairo_scale(ctx->cairo(), sx, sy);
}

void CGContextRotateCTM(const CGContextRef& ctx, CGFloat angle) {
    if (ctx) cairo_rotate(ctx->cairo(), angle);
}

void CGContextConcatCTM(const CGContextRef& ctx, CGAffineTransform transform) {
    if (!ctx) return;
    const cairo_matrix_t m = cairoMatrix(transform);
    cairo_transform(ctx->cairo(), &m);
}

CGAffineTransform CGContextGetCTM(const CGContextRef& ctx) {
    if (!ctx) return CGAffineTransformIdentity;
    cairo_matrix_t m;
    cairo_get_matrix(ctx->cairo(), &m);
    return CGAffineTransformConcat(affineTransform(m), bitmapFlip(ctx->height()));
}

void CGContextSetAlpha(const CGContextRef& ctx, CGFloat alpha) {
    if (ctx) ctx->state().alpha = std::clamp(alpha, CGFloat{0}, CGFloat{1});
}

void CGContextSetBlendMode(const CGContextRef& ctx, CGBlendMode mode) {
    if (ctx) ctx->state().blendMode = mode;
}

void CGContextSetFillColorWithColor(const CGContextRef& ctx, const CGColorRef& color) {
    if (ctx && color) ctx->state().fillColor = color;
}

void CGContextSetStrokeColorWithColor(const CGContextRef& ctx, const CGColorRef& color) {
    if (ctx && color) ctx->state().strokeColor = color;
}

void CGContextSetLineWidth(const CGContextRef& ctx, CGFloat width) {
    if (ctx) ctx->state().lineWidth = std::max(width, CGFloat{0});
}

void CGContextBeginPath(const CGContextRef& ctx) {
    if (ctx) cairo_new_path(ctx->cairo());
}

void CGContextAddRect(const CGContextRef& ctx, CGRect rect) {
    if (!ctx) return;
    cairo_rectangle(ctx->cairo(), CGRectGetMinX(rect), CGRectGetMinY(rect), CGRectGetWidth(rect),
                    CGRectGetHeight(rect));
}

namespace {

// A quadratic as the cubic whose control points lie two thirds of the way to its own.
void addQuadCurve(cairo_t* cr, CGPoint control, CGPoint end) {
    double x0 = 0, y0 = 0;
    cairo_get_current_point(cr, &x0, &y0);
    cairo_curve_to(cr, x0 + 2.0 / 3 * (control.x - x0), y0 + 2.0 / 3 * (control.y - y0),
                   end.x + 2.0 / 3 * (control.x - end.x), end.y + 2.0 / 3 * (control.y - end.y),
                   end.x, end.y);
}

}  // namespace

void CGContextAddPath(const CGContextRef& ctx, const CGPathRef& path) {
    if (!ctx || !path) return;
    cairo_t* cr = ctx->cairo();
    for (const CGPathElement& e : path->elements()) {
        const CGPoint* p = e.points;
        switch (e.type) {
            case kCGPathElementMoveToPoint:
                cairo_move_to(cr, p[0].x, p[0].y);
                break;
            case kCGPathElementAddLineToPoint:
                cairo_line_to(cr, p[0].x, p[0].y);
                break;
            case kCGPathElementAddQuadCurveToPoint:
                addQuadCurve(cr, p[0], p[1]);
                break;
            case kCGPathElementAddCurveToPoint:
                cairo_curve_to(cr, p[0].x, p[0].y, p[1].x, p[1].y, p[2].x, p[2].y);
                break;
            case kCGPathElementCloseSubpath:
                cairo_close_path(cr);
                break;
        }
    }
}

void CGContextClipToRect(const CGContextRef& ctx, CGRect rect) {
    if (!ctx) return;
    KeptPath kept(ctx->cairo());
    CGContextAddRect(ctx, rect);
    cairo_clip(ctx->cairo());
}

cairo_t* CGContextGetCairo(const CGContextRef& ctx) {
    return ctx ? ctx->cairo() : nullptr;
}
