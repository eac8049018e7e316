#pragma once

// The one shape every badge design shares, and how it is turned for each pull direction.
//
// A design is drawn once, in badge space: 80 across (u) and 100 along the pull (v), with the
// leading end at v = 0. The leading end is the half that shows at rest and comes out first, so
// the arrow there points towards v = 0. Each direction maps badge space onto its image:
//   Up:    80 × 100, leading end at the top (the badge rests at the bottom edge);
//   Right: 100 × 80, leading end on the right (it rests at the left edge);
//   Left:  100 × 80, leading end on the left, the mirror image of Right.
// Light and shadow are not turned with the shape: they always fall from above, in image pixels.

#include "tools/artwork/Canvas.h"

enum class PullDirection { Up, Right, Left };

// Badge-space size in pixels: across and along the pull.
constexpr int kBadgeAcross = 80;
constexpr int kBadgeAlong = 100;

// The tab's edge lies this far inside the image on every side, leaving room for the shadow.
constexpr double kTabMargin = 6;

struct BadgeFrame {
    int width;                    // image width in pixels
    int height;                   // image height in pixels
    cairo_matrix_t badgeToImage;  // badge space to image pixels
};

// The image size and badge-space mapping of `direction`.
BadgeFrame badgeFrame(PullDirection direction);

// The file-name word of `direction`: "Up", "Right" or "Left".
const char* directionName(PullDirection direction);

// The three directions, in file-name order.
constexpr PullDirection kPullDirections[] = {PullDirection::Up, PullDirection::Right,
                                             PullDirection::Left};

// Makes badge space current, moved by (dx, dy) image pixels; a shift in image pixels gives
// engraved lips and thread shadows that fall downwards on every direction.
void useBadgeSpace(cairo_t* cr, const BadgeFrame& frame, double dx = 0, double dy = 0);

// Makes `pattern`, whose coordinates are image pixels, the source whatever space is current.
void setImageSource(cairo_t* cr, cairo_pattern_t* pattern);

// A gradient from the top of the tab (offset 0) to its bottom (offset 1) in image pixels, so
// that every direction is lit from above.
CairoPatternPtr createTopDownGradient(const BadgeFrame& frame);

// Adds the tab outline, `inset` pixels inside its edge, as a closed path in badge space. The
// leading corners are rounder than the trailing ones, so the tab reads as something to pull.
void addTabPath(cairo_t* cr, double inset);

// Adds the arrow as an open stroke path in badge space: a chevron pointing to the leading end.
void addArrowPath(cairo_t* cr);

// Adds the grip as open stroke paths in badge space: three short ridges behind the arrow,
// still inside the half that shows at rest.
void addGripPath(cairo_t* cr);

// Centre of the emblem that each design puts in the trailing half, seen once the badge is
// pulled out.
constexpr double kEmblemU = 40;
constexpr double kEmblemV = 70;
