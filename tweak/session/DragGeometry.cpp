#include "tweak/session/DragGeometry.h"

#include <cmath>

CGPoint CVDraggedOrigin(CGPoint origin, CGPoint current, CGPoint start,
                        CVUnlockDirection direction) {
    if (CVFollowsHorizontally(direction)) origin.x += current.x - start.x;
    if (CVFollowsVertically(direction)) origin.y += current.y - start.y;
    if (direction == CVUnlockDirection::Up && origin.y > 0) origin.y = 0;
    if (direction == CVUnlockDirection::Down && origin.y < 0) origin.y = 0;
    if (direction == CVUnlockDirection::Left && origin.x > 0) origin.x = 0;
    if (direction == CVUnlockDirection::Right && origin.x < 0) origin.x = 0;
    return origin;
}

bool CVBeyondDragLimit(CGPoint origin, double d) {
    const double x = origin.x, y = origin.y;
    return x > d * kCVDragLimitInPoints || x < d * -kCVDragLimitInPoints ||
           y > d * kCVDragDownLimitInPoints || y < d * -kCVDragLimitInPoints;
}

float CVDragFadeAlpha(CGPoint origin, double d) {
    const double x = origin.x, y = origin.y;
    // Each distance to the limit is taken as a float, as the comparison that picks the axis is.
    const float a = static_cast<float>(d * kCVDragLimitInPoints - std::fabs(x));
    const float b = static_cast<float>(d * kCVDragLimitInPoints - std::fabs(y));
    const double offset = a > b ? y : x;
    const double limit = a > b ? d * kCVDragLimitInPoints : d * kCVDragDownLimitInPoints;
    if (!std::isfinite(limit) || limit == 0) return offset == 0 ? 1.0f : 0.0f;
    const float alpha = static_cast<float>(1 - std::fabs(offset / limit));
    return std::isfinite(alpha) ? alpha : 0.0f;
}
