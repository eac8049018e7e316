#include "platform/quartz/CAMediaTimingFunction.h"

#include <algorithm>
#include <cmath>

namespace {

// One coordinate of the Bezier with end points 0 and 1 and control values p1, p2, at parameter t.
double bezier(double p1, double p2, double t) {
    const double u = 1 - t;
    return 3 * u * u * t * p1 + 3 * u * t * t * p2 + t * t * t;
}

double bezierSlope(double p1, double p2, double t) {
    const double u = 1 - t;
    return 3 * u * u * p1 + 6 * u * t * (p2 - p1) + 3 * t * t * (1 - p2);
}

}  // namespace

CAMediaTimingFunction CAMediaTimingFunction::functionWithName(std::string_view name) {
    if (name == kCAMediaTimingFunctionEaseIn) return {0.42f, 0, 1, 1};
    if (name == kCAMediaTimingFunctionEaseOut) return {0, 0, 0.58f, 1};
    if (name == kCAMediaTimingFunctionEaseInEaseOut) return {0.42f, 0, 0.58f, 1};
    if (name == kCAMediaTimingFunctionDefault) return {0.25f, 0.1f, 0.25f, 1};
    return {};
}

CAMediaTimingFunction CAMediaTimingFunction::functionWithControlPoints(float x1, float y1, float x2,
                                                                       float y2) {
    return {std::clamp(x1, 0.f, 1.f), y1, std::clamp(x2, 0.f, 1.f), y2};
}

double CAMediaTimingFunction::evaluate(double progress) const {
    const double x = std::clamp(progress, 0.0, 1.0);
    if (x == 0 || x == 1) return x;
    if (x1_ == y1_ && x2_ == y2_) return x;  // the control points lie on the diagonal
    // Find the curve parameter whose x is `x`: Newton steps, with bisection when the slope is flat.
    double t = x, lo = 0, hi = 1;
    for (int i = 0; i < 32; ++i) {
        const double error = bezier(x1_, x2_, t) - x;
        if (std::fabs(error) < 1e-12) break;
        if (error > 0)
            hi = t;
        else
            lo = t;
        const double slope = bezierSlope(x1_, x2_, t);
        double next = slope > 1e-9 ? t - error / slope : (lo + hi) / 2;
        if (next <= lo || next >= hi) next = (lo + hi) / 2;
        t = next;
    }
    return bezier(y1_, y2_, t);
}

void CAMediaTimingFunction::getControlPointAtIndex(int index, float point[2]) const {
    const float points[4][2] = {{0, 0}, {x1_, y1_}, {x2_, y2_}, {1, 1}};
    const int i = std::clamp(index, 0, 3);
    point[0] = points[i][0];
    point[1] = points[i][1];
}
