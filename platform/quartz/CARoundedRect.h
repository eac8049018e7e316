#pragma once

// The outlines of rounded layers, as cairo paths in a layer's own coordinates: the rounded
// rectangle that a layer's background fills and that its corners clip to, and the band just
// inside it that its border covers.

#include "platform/graphics/CGGeometry.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>

// The corner radius that `rect` can take: `radius` up to half its shorter side, 0 when not
// positive. Wider corners would overlap, so the rectangle becomes a capsule instead. Every layer
// asks this on every frame, so a layer without rounded corners answers at once.
inline float CAClampedCornerRadius(const CGRect& rect, float radius) {
    if (!(radius > 0)) return 0;
    const float half = std::min(std::fabs(rect.size.width), std::fabs(rect.size.height)) / 2;
    return std::min(radius, half);
}

// Adds `rect` to the path of `cr`, its corners rounded by `radius` (clamped as above); a plain
// rectangle when the radius is 0.
void CAAddRoundedRect(cairo_t* cr, const CGRect& rect, float radius);

// Adds the band of `width` just inside the edge of `rect` to the path of `cr`, to be filled with
// the even-odd rule: the rounded rectangle, and within it the rectangle inset by `width` whose
// corners are rounded by what is left of the radius. A band as wide as half the shorter side
// covers the whole rectangle.
void CAAddBorderBand(cairo_t* cr, const CGRect& rect, float radius, float width);
