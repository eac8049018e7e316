#include "platform/quartz/CAPageCurlGeometry.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr double kPi = std::numbers::pi;

// Darkest a side of the cylinder gets, as a fraction of the flat paper's brightness.
constexpr double kBackSideShade = 0.4;
constexpr double kFrontSideShade = 0.35;
// How far the light leans toward the leading side, for each unit it falls.
constexpr double kLightLean = 0.45;
// The gloss: how strong, how far behind the ridge (of the radius) and how wide.
constexpr double kGloss = 0.3;
constexpr double kGlossAt = 0.25;
constexpr double kGlossWidth = 0.15;

}  // namespace

CAPageCurlGeometry CAPageCurlGeometryMake(double width, double height, double time, double angle) {
    CAPageCurlGeometry g;
    g.width = width;
    g.height = height;
    // A pull along a side is exactly along it, so that the page's rows or columns map onto
    // whole rows or columns.
    auto exact = [](double v) { return std::fabs(v) < 1e-12 ? 0.0 : v; };
    g.ux = exact(std::cos(angle));
    g.uy = exact(std::sin(angle));
    // The page's extent along u: the positions of its corners along u span [trailing, leading].
    const double trailing = std::min(0.0, width * g.ux) + std::min(0.0, height * g.uy);
    const double leading = std::max(0.0, width * g.ux) + std::max(0.0, height * g.uy);
    g.radius = std::max((leading - trailing) / 10, 3.0);
    g.shadowWidth = g.radius;
    // At the end the cylinder's trailing side and the shadow beyond it have passed the leading
    // edge.
    const double end = leading + g.radius + g.shadowWidth;
    g.axis = trailing + std::clamp(time, 0.0, 1.0) * (end - trailing);
    return g;
}

CAPageCurlSpot CAPageCurlPlace(double arc, double radius) {
    if (arc <= 0) return {-arc, 0};
    if (arc <= kPi * radius) {
        const double turn = arc / radius;
        return {-radius * std::sin(turn), radius * (1 - std::cos(turn))};
    }
    return {arc - kPi * radius, 2 * radius};
}

CAPageCurlCover CAPageCurlCoverAt(double along, double radius) {
    CAPageCurlCover cover;
    if (along >= 0) {
        cover.upperPresent = cover.lowerPresent = true;
        cover.upperArc = kPi * radius + along;
        cover.lowerArc = -along;
    } else if (along >= -radius) {
        // The front half turns through [0, pi/2], the back half through [pi/2, pi], and both
        // lie at along = -r sin(turn).
        const double turn = std::asin(std::min(1.0, -along / radius));
        cover.upperPresent = cover.lowerPresent = true;
        cover.upperArc = radius * (kPi - turn);
        cover.lowerArc = radius * turn;
    }
    return cover;
}

double CAPageCurlBackShade(double along, double radius) {
    if (along >= 0) return 1;
    // The back half's outward normal leans toward the trailing side by `lean` and up by `up`.
    // The light falls from above and a little from the leading side, so the flap and the ridge
    // take the most of it and the paper going down the trailing side less and less.
    const double lean = std::min(1.0, -along / radius);
    const double up = std::sqrt(1 - lean * lean);
    const double lit = std::max(0.0, up - kLightLean * lean);
    return kBackSideShade + (1 - kBackSideShade) * lit;
}

double CAPageCurlBackGloss(double along, double radius) {
    // A soft band of reflected light just behind the ridge, where the rounded paper turns the
    // light toward the viewer.
    const double t = (along / radius + kGlossAt) / kGlossWidth;
    return along >= 0 ? 0 : kGloss * std::exp(-t * t);
}

double CAPageCurlFrontShade(double along, double radius) {
    if (along >= 0) return 1;
    // The front half lies inside the roll, under its back half: the deeper in, toward the side
    // where it faces the back half's inside, the less light reaches it.
    const double lean = std::min(1.0, -along / radius);
    const double up = std::sqrt(1 - lean * lean);
    return kFrontSideShade + (1 - kFrontSideShade) * up;
}
