#pragma once

// Draws a page folded as the page-curl filter asks: the page is pulled toward the direction of
// `angle` (radians, in the page's y-down coordinates), and the part of it behind the fold line is
// turned over onto the rest, showing its back, lighter, with a shadow along the fold. `time` 0
// leaves the page flat; 1 has turned all of it away.

#include <cairo.h>

#include "platform/graphics/CGGeometry.h"

// Draws `page` (pixels, first row at the top) onto `cr`, whose current matrix maps the page's
// pixels to the target, at `opacity`.
void CAPageCurlDraw(cairo_t* cr, cairo_surface_t* page, double time, double angle, double opacity);
