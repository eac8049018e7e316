// Painting into a bitmap context: fills, strokes, images and the mask, composited as the
// platform composites.

#include <algorithm>
#include <cmath>
#include <iterator>

#include "platform/graphics/CGContext.h"
#include "platform/graphics/CGContextState.h"

namespace {

// The cairo operator of each blend mode, in the order of the modes' values.
// FIXME: plus-darker (26) has no cairo operator; it draws as normal.
constexpr cairo_operator_t kOperatorOfMode[] = {
    CAIRO_OPERATOR_OVER,        CAIRO_OPERATOR_MULTIPLY,
    CAIRO_OPERATOR_SCREEN,      CAIRO_OPERATOR_OVERLAY,
    CAIRO_OPERATOR_DARKEN,      CAIRO_OPERATOR_LIGHTEN,
    CAIRO_OPERATOR_COLOR_DODGE, CAIRO_OPERATOR_COLOR_BURN,
    CAIRO_OPERATOR_SOFT_LIGHT,  CAIRO_OPERATOR_HARD_LIGHT,
    CAIRO_OPERATOR_DIFFERENCE,  CAIRO_OPERATOR_EXCLUSION,
    CAIRO_OPERATOR_HSL_HUE,     CAIRO_OPERATOR_HSL_SATURATION,
    CAIRO_OPERATOR_HSL_COLOR,   CAIRO_OPERATOR_HSL_LUMINOSITY,
    CAIRO_OPERATOR_CLEAR,       CAIRO_OPERATOR_SOURCE,
    CAIRO_OPERATOR_IN,          CAIRO_OPERATOR_OUT,
    CAIRO_OPERATOR_ATOP,        CAIRO_OPERATOR_DEST_OVER,
    CAIRO_OPERATOR_DEST_IN,     CAIRO_OPERATOR_DEST_OUT,
    CAIRO_OPERATOR_DEST_ATOP,   CAIRO_OPERATOR_XOR,
    CAIRO_OPERATOR_OVER,        CAIRO_OPERATOR_ADD};
static_assert(std::size(kOperatorOfMode) == kCGBlendModePlusLighter + 1);

cairo_operator_t operatorOf(CGBlendMode mode) {
    const bool known = mode >= 0 && size_t(mode) < std::size(kOperatorOfMode);
    return known ? kOperatorOfMode[mode] : CAIRO_OPERATOR_OVER;
}

// cairo lets these operators change the bitmap outside a mask (though never outside the clip),
// which the platform's masks never allow.
bool reachesOutsideMask(cairo_operator_t op) {
    return op == CAIRO_OPERATOR_IN || op == CAIRO_OPERATOR_OUT || op == CAIRO_OPERATOR_DEST_IN ||
           op == CAIRO_OPERATOR_DEST_ATOP;
}

// How much of each pixel a stroke, or a fill already set as the clip, covers, weighted by the
// mask: an alpha-only pattern.
CairoPatternPtr coverageOf(CGContext& c, CGShape shape) {
    cairo_t* cr = c.cairo();
    cairo_push_group_with_content(cr, CAIRO_CONTENT_ALPHA);
    cairo_set_source_rgba(cr, 0, 0, 0, 1);
    if (shape == CGShape::Stroke) {
        cairo_set_line_width(cr, c.state().lineWidth);
        cairo_stroke(cr);
    } else {
        cairo_paint(cr);
    }
    if (const auto& mask = c.state().mask) {
        cairo_identity_matrix(cr);
        cairo_set_operator(cr, CAIRO_OPERATOR_DEST_IN);
        cairo_set_source_surface(cr, mask.get(), 0, 0);
        cairo_paint(cr);
    }
    return CairoPatternPtr(cairo_pop_group(cr));
}

// Copies the bitmap as it is into the group being drawn, pixel for pixel.
void paintBitmapCopy(CGContext& c) {
    cairo_t* cr = c.cairo();
    const CairoStateSaver saver(cr);
    cairo_identity_matrix(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_set_source_surface(cr, c.surface(), 0, 0);
    cairo_paint(cr);
}

// Blends `source` into a copy of the bitmap, then lays that copy over the bitmap weighted by
// `coverage`, so that an operator like source-in leaves uncovered pixels as they were.
void blendThroughCoverage(CGContext& c, cairo_pattern_t* source, cairo_operator_t op,
                          cairo_pattern_t* coverage) {
    cairo_t* cr = c.cairo();
    cairo_push_group(cr);
    paintBitmapCopy(c);
    cairo_set_operator(cr, op);
    cairo_set_source(cr, source);
    cairo_paint(cr);
    const CairoPatternPtr blended(cairo_pop_group(cr));
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_set_source(cr, blended.get());
    cairo_mask(cr, coverage);
}

struct Rgba {
    double r = 0, g = 0, b = 0, a = 0;
};

// Grey and RGB colours by their components; any other model as black of the colour's alpha.
Rgba rgbaOf(const CGColorRef& color) {
    const float* k = CGColorGetComponents(color);
    const auto clamped = [](double v) { return std::clamp(v, 0.0, 1.0); };
    Rgba out;
    switch (CGColorSpaceGetModel(CGColorGetColorSpace(color))) {
        case kCGColorSpaceModelMonochrome:
            if (CGColorGetNumberOfComponents(color) < 2) break;
            out = {clamped(k[0]), clamped(k[0]), clamped(k[0]), clamped(k[1])};
            return out;
        case kCGColorSpaceModelRGB:
            if (CGColorGetNumberOfComponents(color) < 4) break;
            out = {clamped(k[0]), clamped(k[1]), clamped(k[2]), clamped(k[3])};
            return out;
        default:
            break;
    }
    out.a = clamped(CGColorGetAlpha(color));
    return out;
}

// Maps `rect` in user space onto the image's pixels, first row at the rect's maximum y.
cairo_matrix_t imageToUser(CGRect rect, const CGImage& image) {
    cairo_matrix_t m;
    cairo_matrix_init(&m, CGRectGetWidth(rect) / image.width(), 0, 0,
                      -CGRectGetHeight(rect) / image.height(), CGRectGetMinX(rect),
                      CGRectGetMaxY(rect));
    return m;
}

bool isWhole(double v) {
    return std::fabs(v - std::round(v)) < 1.0 / 1024;
}

// Whether image pixels land exactly on bitmap pixels (moved by whole pixels, not scaled).
bool isPixelExact(cairo_t* cr, const cairo_matrix_t& toUser) {
    cairo_matrix_t toDevice, userToDevice;
    cairo_get_matrix(cr, &userToDevice);
    cairo_matrix_multiply(&toDevice, &toUser, &userToDevice);
    return toDevice.xx == 1 && toDevice.yy == 1 && toDevice.xy == 0 && toDevice.yx == 0 &&
           isWhole(toDevice.x0) && isWhole(toDevice.y0);
}

// The image as a source placed in `rect`. Its edge pixels extend outward so that only the rect's
// own edge coverage softens a resampled edge. Whole-pixel placements are never resampled.
CairoPatternPtr imageSource(cairo_t* cr, CGRect rect, const CGImage& image) {
    CairoPatternPtr pattern(cairo_pattern_create_for_surface(image.surface()));
    cairo_matrix_t toUser = imageToUser(rect, image);
    const cairo_filter_t filter =
        isPixelExact(cr, toUser) ? CAIRO_FILTER_NEAREST : CAIRO_FILTER_GOOD;
    cairo_matrix_invert(&toUser);
    cairo_pattern_set_matrix(pattern.get(), &toUser);
    cairo_pattern_set_extend(pattern.get(), CAIRO_EXTEND_PAD);
    cairo_pattern_set_filter(pattern.get(), filter);
    return pattern;
}

// `source` with its alpha scaled by `alpha`, as a new pattern in its place.
CairoPatternPtr fadedSource(cairo_t* cr, CairoPatternPtr source, double alpha) {
    if (alpha >= 1) return source;
    cairo_push_group(cr);
    cairo_set_source(cr, source.get());
    cairo_paint_with_alpha(cr, alpha);
    return CairoPatternPtr(cairo_pop_group(cr));
}

bool isEmpty(CGRect rect) {
    return CGRectGetWidth(rect) == 0 || CGRectGetHeight(rect) == 0;
}

void addRect(cairo_t* cr, CGRect rect) {
    cairo_rectangle(cr, CGRectGetMinX(rect), CGRectGetMinY(rect), CGRectGetWidth(rect),
                    CGRectGetHeight(rect));
}

void fillCurrentPath(CGContext& c, CGShape shape) {
    const CairoPatternPtr source = CGContextCreateColorSource(c, nullptr);
    CGContextComposite(c, source.get(), CGContextCurrentOperator(c), shape);
}

void strokeCurrentPath(CGContext& c) {
    const CairoPatternPtr source = CGContextCreateColorSource(c, c.state().strokeColor);
    CGContextComposite(c, source.get(), CGContextCurrentOperator(c), CGShape::Stroke);
}

// Paints `source` within the current path as CGContextComposite says, leaving the path to it.
void paintWithinShape(CGContext& c, cairo_pattern_t* source, cairo_operator_t op, CGShape shape) {
    cairo_t* cr = c.cairo();
    const CairoStateSaver saver(cr);
    // A filled shape is a clip: cairo blends every operator through a clip's edge coverage, as
    // the platform blends through a shape's.
    if (shape != CGShape::Stroke) {
        cairo_set_fill_rule(
            cr, shape == CGShape::EvenOddFill ? CAIRO_FILL_RULE_EVEN_ODD : CAIRO_FILL_RULE_WINDING);
        cairo_clip(cr);
    }
    const CairoPatternPtr coverage =
        shape == CGShape::Stroke || c.state().mask ? coverageOf(c, shape) : nullptr;
    if (coverage && reachesOutsideMask(op)) {
        blendThroughCoverage(c, source, op, coverage.get());
    } else {
        cairo_set_operator(cr, op);
        cairo_set_source(cr, source);
        coverage ? cairo_mask(cr, coverage.get()) : cairo_paint(cr);
    }
}

// The alpha that CGContextClipToMask leaves on each pixel of the bitmap: the image's, placed in
// `rect` as CGContextDrawImage would place it, times the mask already set.
CairoSurfacePtr maskOf(const CGContext& c, CGRect rect, const CGImage& image) {
    CairoSurfacePtr mask(cairo_image_surface_create(CAIRO_FORMAT_A8, c.width(), c.height()));
    const CairoContextPtr context(cairo_create(mask.get()));
    cairo_t* m = context.get();
    cairo_matrix_t userToDevice;
    cairo_get_matrix(c.cairo(), &userToDevice);
    cairo_set_matrix(m, &userToDevice);
    addRect(m, rect);
    cairo_clip(m);
    const CairoPatternPtr source = imageSource(c.cairo(), rect, image);
    cairo_set_source(m, source.get());
    cairo_paint(m);
    if (const auto& previous = c.state().mask) {
        cairo_reset_clip(m);
        cairo_identity_matrix(m);
        cairo_set_operator(m, CAIRO_OPERATOR_DEST_IN);
        cairo_set_source_surface(m, previous.get(), 0, 0);
        cairo_paint(m);
    }
    return mask;
}

}  // namespace

cairo_operator_t CGContextCurrentOperator(const CGContext& c) {
    return operatorOf(c.state().blendMode);
}

CairoPatternPtr CGContextCreateColorSource(const CGContext& c, const CGColorRef& color) {
    const Rgba k = rgbaOf(color ? color : c.state().fillColor);
    return CairoPatternPtr(cairo_pattern_create_rgba(k.r, k.g, k.b, k.a * c.state().alpha));
}

void CGContextComposite(CGContext& c, cairo_pattern_t* source, cairo_operator_t op, CGShape shape) {
    paintWithinShape(c, source, op, shape);
    cairo_new_path(c.cairo());
}

void CGContextDrawPath(const CGContextRef& ctx, CGPathDrawingMode mode) {
    if (!ctx) return;
    cairo_t* cr = ctx->cairo();
    const bool evenOdd = mode == kCGPathEOFill || mode == kCGPathEOFillStroke;
    const CGShape fill = evenOdd ? CGShape::EvenOddFill : CGShape::Fill;
    switch (mode) {
        case kCGPathFill:
        case kCGPathEOFill:
            fillCurrentPath(*ctx, fill);
            break;
        case kCGPathStroke:
            strokeCurrentPath(*ctx);
            break;
        case kCGPathFillStroke:
        case kCGPathEOFillStroke: {
            const CairoPathPtr path(cairo_copy_path(cr));
            fillCurrentPath(*ctx, fill);
            cairo_append_path(cr, path.get());
            strokeCurrentPath(*ctx);
            break;
        }
    }
    cairo_new_path(cr);
}

void CGContextFillRect(const CGContextRef& ctx, CGRect rect) {
    if (!ctx || isEmpty(rect)) return;
    KeptPath kept(ctx->cairo());
    addRect(ctx->cairo(), rect);
    fillCurrentPath(*ctx, CGShape::Fill);
}

void CGContextClearRect(const CGContextRef& ctx, CGRect rect) {
    if (!ctx || isEmpty(rect)) return;
    KeptPath kept(ctx->cairo());
    addRect(ctx->cairo(), rect);
    const CairoPatternPtr nothing(cairo_pattern_create_rgba(0, 0, 0, 0));
    CGContextComposite(*ctx, nothing.get(), CAIRO_OPERATOR_CLEAR, CGShape::Fill);
}

void CGContextDrawImage(const CGContextRef& ctx, CGRect rect, const CGImageRef& image) {
    if (!ctx || !image || isEmpty(rect)) return;
    cairo_t* cr = ctx->cairo();
    const double alpha = ctx->state().alpha;
    cairo_operator_t op = CGContextCurrentOperator(*ctx);
    // Over an opaque image the bitmap does not show through, so copying gives the same pixels
    // and lets cairo use a plain copy for whole-pixel placements.
    if (op == CAIRO_OPERATOR_OVER && alpha >= 1 && image->isOpaque()) op = CAIRO_OPERATOR_SOURCE;
    KeptPath kept(cr);
    const CairoPatternPtr source = fadedSource(cr, imageSource(cr, rect, *image), alpha);
    addRect(cr, rect);
    CGContextComposite(*ctx, source.get(), op, CGShape::Fill);
}

void CGContextClipToMask(const CGContextRef& ctx, CGRect rect, const CGImageRef& image) {
    if (!ctx || !image) return;
    ctx->state().mask = maskOf(*ctx, rect, *image);
}
