#include "platform/uikit/UIRotationGestureRecognizer.h"

#include <cmath>
#include <numbers>

CV_REGISTER_CLASS(UIRotationGestureRecognizer, UITwoFingerGestureRecognizer)

UIRotationGestureRecognizer::UIRotationGestureRecognizer(id target, SEL action, Class cls)
    : UITwoFingerGestureRecognizer(target, action, cls) {
    reset();
}

double UIRotationGestureRecognizer::measure(CGPoint a, CGPoint b, double previous) const {
    const double initial =
        std::atan2(double(startB().y) - startA().y, double(startB().x) - startA().x);
    const double now = std::atan2(double(b.y) - a.y, double(b.x) - a.x);
    // The turn since the last report, taken the short way, added on: a line that turns past
    // half a turn keeps counting instead of jumping back.
    double turned = (now - initial) - previous;
    turned = std::remainder(turned, 2 * std::numbers::pi);
    return previous + turned;
}
