#pragma once

// The badge designs. Each painter draws its tab on a transparent canvas with badge space
// current; the soft shadow is added afterwards, the same for every design.

#include "tools/artwork/BadgeGeometry.h"

#include <span>

using BadgePainter = void (*)(cairo_t* cr, const BadgeFrame& frame);

struct BadgeDesign {
    const char* name;  // the design's word in the file names and settings
    BadgePainter paint;
};

// A glossy red tab with a white raised arrow.
void paintRedBadge(cairo_t* cr, const BadgeFrame& frame);
// A woven navy label with a gold stitched edge and an embroidered arrow.
void paintClothBadge(cairo_t* cr, const BadgeFrame& frame);
// Brushed steel with an engraved arrow and two rivets.
void paintGreyBadge(cairo_t* cr, const BadgeFrame& frame);
// Near-white with soft shading, made to be tinted by multiplying with the user's colour.
void paintCustomBadge(cairo_t* cr, const BadgeFrame& frame);
// Parchment with ink lines and a wax seal.
void paintVellumBadge(cairo_t* cr, const BadgeFrame& frame);

// The five designs: Red, Cloth, Grey, Custom, Vellum.
std::span<const BadgeDesign> badgeDesigns();
