#pragma once

// Painting steps that several badge designs share. Each takes the badge frame and leaves badge
// space current when it returns.

#include "tools/artwork/BadgeGeometry.h"
#include "tools/artwork/Canvas.h"
#include "tools/artwork/Texture.h"

// Adds paths in badge space to the current path.
using BadgePathBuilder = void (*)(cairo_t* cr);

// Adds the arrow and the grip together.
void addMarksPath(cairo_t* cr);

// Strokes the path of `addPath` with round ends, `width` wide, moved `dy` image pixels down.
void strokeBadgePath(cairo_t* cr, const BadgeFrame& frame, BadgePathBuilder addPath, double width,
                     const Rgba& colour, double dy = 0);

// Fills the tab with the top-down gradient through `stops` (offset, colour pairs).
void fillTabTopDown(cairo_t* cr, const BadgeFrame& frame,
                    std::initializer_list<std::pair<double, Rgba>> stops);

// Fills the tab, `inset` pixels in, with `texture` laid out in badge space, pixel for pixel.
void fillTabWithTexture(cairo_t* cr, const BadgeFrame& frame, cairo_surface_t* texture,
                        double inset = 0);

// Shades the tab's rim from inside: `colour` strongest at the edge, gone `radius` pixels in.
void shadeTabRim(cairo_t* cr, const BadgeFrame& frame, int radius, const Rgba& colour);

// A glassy highlight over the upper part of the tab (in image pixels): white from `topAlpha`
// at the top fading to `bottomAlpha` where it ends, a little above the middle.
void paintGloss(cairo_t* cr, const BadgeFrame& frame, double topAlpha, double bottomAlpha);

// A one-pixel outline just inside the tab's edge.
void outlineTab(cairo_t* cr, const BadgeFrame& frame, const Rgba& colour, double width = 1);

// A light line along the upper inside of the rim, as the bevel catches the light from above.
void highlightUpperRim(cairo_t* cr, const BadgeFrame& frame, double alpha);

// Marks cut into the surface: a light lower lip, then the dark groove above it.
void engraveMarks(cairo_t* cr, const BadgeFrame& frame, BadgePathBuilder addPath, double width,
                  const Rgba& groove, const Rgba& lip);

// Marks standing out of the surface: a soft dark shadow below, then the mark itself.
void raiseMarks(cairo_t* cr, const BadgeFrame& frame, BadgePathBuilder addPath, double width,
                const Rgba& mark, const Rgba& shadow);
