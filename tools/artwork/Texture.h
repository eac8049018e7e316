#pragma once

// Textures computed pixel by pixel (weave, brushing, paper fibres), for use as cairo sources.

#include "tools/artwork/Canvas.h"

#include <functional>

// A colour with straight (not premultiplied) components in [0, 1].
struct Rgba {
    double r = 0, g = 0, b = 0, a = 1;
};

// A colour from 8-bit components and an opacity.
constexpr Rgba rgb8(int r, int g, int b, double a = 1) {
    return {r / 255.0, g / 255.0, b / 255.0, a};
}

// The colour between `from` (t = 0) and `to` (t = 1).
Rgba mixRgba(const Rgba& from, const Rgba& to, double t);

// An image of `width` × `height` pixels whose pixel (x, y) has the colour `colourAt(x, y)`;
// components outside [0, 1] are clamped.
CairoSurfacePtr textureSurface(int width, int height,
                               const std::function<Rgba(int x, int y)>& colourAt);

// Makes `colour` the source of `cr`.
void setSourceRgba(cairo_t* cr, const Rgba& colour);

// Adds a colour stop of `colour` at `offset` to a gradient.
void addStop(cairo_pattern_t* gradient, double offset, const Rgba& colour);
