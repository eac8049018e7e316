#pragma once

// The inside of a bitmap context, shared by the files that implement its functions.

#include <cairo.h>

#include <deque>
#include <memory>
#include <vector>

#include "platform/graphics/CGContext.h"
#include "platform/graphics/CairoOwners.h"

// What CGContextSaveGState saves besides cairo's own state (CTM, clip, path-independent
// settings), which is saved alongside it.
struct CGGState {
    CGColorRef fillColor;
    CGColorRef strokeColor;
    CGFloat alpha = 1;
    CGBlendMode blendMode = kCGBlendModeNormal;
    CGFloat lineWidth = 1;
    // An A8 surface the bitmap's size: the alpha that CGContextClipToMask left on each pixel.
    // Null when no mask has been set.
    std::shared_ptr<cairo_surface_t> mask;
};

class CGContext {
public:
    // A context drawing into `surface` (ARGB32).
    explicit CGContext(CairoSurfacePtr surface);
    CGContext(const CGContext&) = delete;
    CGContext& operator=(const CGContext&) = delete;

    cairo_t* cairo() const { return cr_.get(); }
    cairo_surface_t* surface() const { return surface_.get(); }
    int width() const { return cairo_image_surface_get_width(surface()); }
    int height() const { return cairo_image_surface_get_height(surface()); }

    CGGState& state() { return states_.back(); }
    const CGGState& state() const { return states_.back(); }
    void save();
    void restore();

private:
    CairoSurfacePtr surface_;
    CairoContextPtr cr_;
    std::vector<CGGState> states_;
    // The cairo state saved with each pushed graphics state (one fewer than `states_`), restored
    // when that state is popped. Declared last, so that any left are restored before the context
    // goes. A deque keeps the savers in place as it grows.
    std::deque<CairoStateSaver> cairoStates_;
};

// Keeps the current path out of the way of a drawing call that makes a path of its own
// (CGContextFillRect, ClipToRect, text), and puts it back afterwards.
class KeptPath {
public:
    explicit KeptPath(cairo_t* cr) : cr_(cr), path_(cairo_copy_path(cr)) { cairo_new_path(cr); }
    ~KeptPath() {
        cairo_new_path(cr_);
        cairo_append_path(cr_, path_.get());
    }
    KeptPath(const KeptPath&) = delete;
    KeptPath& operator=(const KeptPath&) = delete;

private:
    cairo_t* cr_;
    CairoPathPtr path_;
};

// How the current path limits a drawing operation.
enum class CGShape { Fill, EvenOddFill, Stroke };

// Paints `source` through the current path (consumed) as `shape` says, with `op`, the clip and
// the mask, the way the platform composites: inside the shape the result is the blend of source
// and bitmap, and the shape's edge coverage and the mask blend that result with what was there.
void CGContextComposite(CGContext& c, cairo_pattern_t* source, cairo_operator_t op, CGShape shape);
// The cairo operator of the context's current blend mode.
cairo_operator_t CGContextCurrentOperator(const CGContext& c);
// The fill colour (or `color` when given) at the context's alpha, as a cairo source.
CairoPatternPtr CGContextCreateColorSource(const CGContext& c, const CGColorRef& color);
