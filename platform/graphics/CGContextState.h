#pragma once

// The inside of a bitmap context, shared by the files that implement its functions.

#include <cairo.h>

#include <memory>
#include <vector>

#include "platform/graphics/CGContext.h"

// What CGContextSaveGState saves besides cairo's own state (CTM, clip, path-independent
// settings), which is saved alongside it with cairo_save.
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
    // A context drawing into `surface` (ARGB32), which it takes over.
    explicit CGContext(cairo_surface_t* surface);
    ~CGContext();
    CGContext(const CGContext&) = delete;
    CGContext& operator=(const CGContext&) = delete;

    cairo_t* cairo() const { return cr_; }
    cairo_surface_t* surface() const { return surface_; }
    int width() const { return cairo_image_surface_get_width(surface_); }
    int height() const { return cairo_image_surface_get_height(surface_); }

    CGGState& state() { return states_.back(); }
    const CGGState& state() const { return states_.back(); }
    void save();
    void restore();

private:
    cairo_surface_t* surface_;
    cairo_t* cr_;
    std::vector<CGGState> states_;
};

// Keeps the current path out of the way of a drawing call that makes a path of its own
// (CGContextFillRect, ClipToRect, text), and puts it back afterwards.
class KeptPath {
public:
    explicit KeptPath(cairo_t* cr) : cr_(cr), path_(cairo_copy_path(cr)) { cairo_new_path(cr); }
    ~KeptPath() {
        cairo_new_path(cr_);
        cairo_append_path(cr_, path_);
        cairo_path_destroy(path_);
    }
    KeptPath(const KeptPath&) = delete;
    KeptPath& operator=(const KeptPath&) = delete;

private:
    cairo_t* cr_;
    cairo_path_t* path_;
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
cairo_pattern_t* CGContextCreateColorSource(const CGContext& c, const CGColorRef& color);
