#pragma once

// Soft shadows and glows: the coverage of a drawing, blurred.

#include "tools/artwork/Canvas.h"

// The alpha channel of `surface` blurred over about `radius` pixels (three box passes, which
// come close to a Gaussian), as an A8 surface of the same size.
CairoSurfacePtr blurredAlpha(cairo_surface_t* surface, int radius);

struct ShadowStyle {
    double dx = 0;         // offset in device pixels, to the right
    double dy = 0;         // offset in device pixels, downwards
    int radius = 3;        // blur radius in pixels
    double opacity = 0.5;  // darkness where the shape is fully covered
};

// Paints a black shadow of everything `shape` covers onto `cr`, in device pixels, whatever
// transformation `cr` has.
void paintSoftShadow(cairo_t* cr, cairo_surface_t* shape, const ShadowStyle& style);

// An A8 mask that is strong just inside the edge of what `shape` covers and fades to nothing
// about `radius` pixels further in; nothing outside the shape.
CairoSurfacePtr innerEdgeMask(cairo_surface_t* shape, int radius);
