#pragma once

// Where each part of a page being peeled lies, seen straight down, and how it is lit.
//
// The page is pulled toward u = (cos angle, sin angle), in the page's y-down pixel coordinates.
// Every point keeps its coordinate across u; along u we measure `along`, the distance from the
// cylinder's axis line (positive toward u). The part of the page ahead of the axis (along > 0,
// not yet reached) lies flat. The part behind it, beginning at the page's trailing edge (the one
// opposite u), has been lifted: page material `arc` pixels behind the axis, measured along the
// paper, wraps round a cylinder of radius r resting on the page along the axis line,
//
//     arc <= pi r:  along = -r sin(arc / r),  height = r (1 - cos(arc / r))
//     arc >  pi r:  along = arc - pi r,       height = 2 r
//
// so the paper first bends up and away toward the trailing side (the front half of the cylinder,
// its face still up), goes over the top (the back half, its back now up), and from the top ridge
// lies flat again, back side up, as a flap laid over the page ahead of the axis. The map keeps arc
// length, so nothing stretches. Seen from above, the back half of the cylinder hides the front
// half wherever both have paper, and the flap hides the flat page under it.

struct CAPageCurlGeometry {
    double width = 0, height = 0;  // the page, in pixels
    double ux = 1, uy = 0;         // the pull direction
    double axis = 0;               // the axis line's position along u (as a dot product with u)
    double radius = 0;
    // How far the shadow reaches from the cylinder over what the peel has uncovered.
    double shadowWidth = 0;
};

// The curl of a `width` × `height` page pulled toward `angle` at `time`. The cylinder's radius is
// a tenth of the page's extent along the pull, and at least 3 pixels: the filter's radius is not
// handed to the drawing, and one that grows with the page keeps the same look at every screen
// scale and page size. At time 0 the axis lies on the trailing edge, so nothing is lifted; it
// advances at an even pace until, at time 1, the cylinder and its shadow have crossed the
// leading edge and nothing of the page lies over its own rectangle any more.
CAPageCurlGeometry CAPageCurlGeometryMake(double width, double height, double time, double angle);

// A point of a cross-section across the axis: its distance along u from the axis line and its
// height above the page.
struct CAPageCurlSpot {
    double along = 0, height = 0;
};

// Where the paper `arc` pixels behind the axis lies once wrapped round a cylinder of `radius`.
CAPageCurlSpot CAPageCurlPlace(double arc, double radius);

// The paper seen straight down at `along`: the arc of the upper layer (the back of the page: the
// flap or the cylinder's back half) and of the lower layer (the front: the cylinder's front half,
// or the flat page, whose arc is -along, as it has not been reached). Beyond the cylinder, on the
// trailing side, there is neither. Whether the page really has paper at that arc is for the
// caller to find out: near the trailing edge it may have run out.
struct CAPageCurlCover {
    bool upperPresent = false, lowerPresent = false;
    double upperArc = 0, lowerArc = 0;
};
CAPageCurlCover CAPageCurlCoverAt(double along, double radius);

// How bright (0 to 1) the back of the page is at `along`: brightest on the flap and the top
// ridge, which face the light, darkening down the cylinder's side as the paper turns away.
double CAPageCurlBackShade(double along, double radius);
// How much (0 to 1) the back of the page at `along` is lightened toward white by the light it
// reflects: a soft band along the cylinder just behind its top ridge, nothing elsewhere.
double CAPageCurlBackGloss(double along, double radius);
// How bright (0 to 1) the front of the page is at `along`: 1 where it lies flat, darker down the
// cylinder's front half toward the side, deep inside the roll where little light reaches.
double CAPageCurlFrontShade(double along, double radius);
