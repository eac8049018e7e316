#include "tools/artwork/BadgeGeometry.h"

#include <algorithm>
#include <numbers>

namespace {

constexpr double kLeadingRadius = 18;
constexpr double kTrailingRadius = 9;

void addCorner(cairo_t* cr, double cu, double cv, double radius, double fromAngle) {
    cairo_arc(cr, cu, cv, radius, fromAngle, fromAngle + std::numbers::pi / 2);
}

}  // namespace

BadgeFrame badgeFrame(PullDirection direction) {
    BadgeFrame frame{0, 0, {}};
    switch (direction) {
        case PullDirection::Up:
            frame.width = 80, frame.height = 100;
            cairo_matrix_init_identity(&frame.badgeToImage);
            break;
        case PullDirection::Right:
            // (u, v) goes to (100 − v, u): the leading end lands on the right edge.
            frame.width = 100, frame.height = 80;
            cairo_matrix_init(&frame.badgeToImage, 0, 1, -1, 0, kBadgeAlong, 0);
            break;
        case PullDirection::Left:
            // (u, v) goes to (v, u): Right seen in a mirror, so the two sides match.
            frame.width = 100, frame.height = 80;
            cairo_matrix_init(&frame.badgeToImage, 0, 1, 1, 0, 0, 0);
            break;
    }
    return frame;
}

const char* directionName(PullDirection direction) {
    switch (direction) {
        case PullDirection::Up:
            return "Up";
        case PullDirection::Right:
            return "Right";
        case PullDirection::Left:
            return "Left";
    }
    return "";
}

void useBadgeSpace(cairo_t* cr, const BadgeFrame& frame, double dx, double dy) {
    cairo_identity_matrix(cr);
    cairo_translate(cr, dx, dy);
    cairo_transform(cr, &frame.badgeToImage);
}

void setImageSource(cairo_t* cr, cairo_pattern_t* pattern) {
    cairo_matrix_t current;
    cairo_get_matrix(cr, &current);
    cairo_identity_matrix(cr);
    cairo_set_source(cr, pattern);
    cairo_set_matrix(cr, &current);
}

CairoPatternPtr createTopDownGradient(const BadgeFrame& frame) {
    // The tab spans the image less the margin whichever way it lies.
    return CairoPatternPtr(
        cairo_pattern_create_linear(0, kTabMargin, 0, frame.height - kTabMargin));
}

void addTabPath(cairo_t* cr, double inset) {
    const double left = kTabMargin + inset, right = kBadgeAcross - kTabMargin - inset;
    const double lead = kTabMargin + inset, trail = kBadgeAlong - kTabMargin - inset;
    const double rl = std::max(kLeadingRadius - inset, 1.0);
    const double rt = std::max(kTrailingRadius - inset, 1.0);
    constexpr double q = std::numbers::pi / 2;
    cairo_new_sub_path(cr);
    addCorner(cr, right - rl, lead + rl, rl, -q);
    addCorner(cr, right - rt, trail - rt, rt, 0);
    addCorner(cr, left + rt, trail - rt, rt, q);
    addCorner(cr, left + rl, lead + rl, rl, 2 * q);
    cairo_close_path(cr);
}

void addArrowPath(cairo_t* cr) {
    cairo_move_to(cr, 27, 27);
    cairo_line_to(cr, 40, 15);
    cairo_line_to(cr, 53, 27);
}

void addGripPath(cairo_t* cr) {
    for (const double v : {35.0, 40.0, 45.0}) {
        cairo_move_to(cr, 29, v);
        cairo_line_to(cr, 51, v);
    }
}
