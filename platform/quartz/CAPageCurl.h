#pragma once

// Draws a page peeled as the page-curl filter asks. The page is pulled toward the direction of
// `angle` (radians, in the page's y-down coordinates) and comes away from its trailing edge, the
// one opposite the pull: the lifted paper wraps round a cylinder lying across the page,
// perpendicular to the pull, and from the cylinder's top it lies back over the page as a flap
// showing the page's back, mirrored, lighter and slightly see-through. The cylinder is shaded
// across its bend and casts a soft shadow on whatever the peel has uncovered; the flap casts one
// on the page under its edge. `time` 0 leaves the page flat and untouched; as it grows the
// cylinder rolls toward the leading edge, and at 1 the page, its curl and its shadows have all
// gone from the page's rectangle. CAPageCurlGeometry.h describes the shape.

#include "platform/quartz/CAPixelBlit.h"

#include <cairo.h>

// Draws `page` (an ARGB32 image surface, first row at the top) curled at `time` toward `angle`
// onto `cr`, whose current matrix maps the page's pixels to the target, at `opacity`, within the
// page's rectangle.
void CAPageCurlDraw(cairo_t* cr, cairo_surface_t* page, double time, double angle, double opacity);

// Draws `page` curled at `time` toward `angle` straight into `target`'s pixels, over what they
// hold, the page's top-left pixel at (x, y) of the target and its pixels the target's, at opacity
// `alpha` (0 to 256), within `clip`. `kind` says whether the page's pixels are all opaque.
void CAPageCurlDrawPixels(const CAPixelBuffer& target, const CAPixelRect& clip, int x, int y,
                          const CAPixelBuffer& page, CAPixelSource kind, double time, double angle,
                          int alpha);

// As CAPageCurlDrawPixels, over `under` (covering all of `clip`) instead of what the target holds:
// every target pixel in `clip` is written once, as if `under` had been copied there first. This
// is how a page is peeled off a still picture.
void CAPageCurlDrawPixelsOver(const CAPixelBuffer& target, const CAPixelRect& clip, int x, int y,
                              const CAPixelBuffer& page, CAPixelSource kind, double time,
                              double angle, int alpha, const CAPixelUnder& under);
