#include "platform/uikit/UIPinchGestureRecognizer.h"

#include <cmath>

CV_REGISTER_CLASS(UIPinchGestureRecognizer, UITwoFingerGestureRecognizer)

UIPinchGestureRecognizer::UIPinchGestureRecognizer(id target, SEL action, Class cls)
    : UITwoFingerGestureRecognizer(target, action, cls) {
    reset();
}

double UIPinchGestureRecognizer::measure(CGPoint a, CGPoint b, double) const {
    const double initial =
        std::hypot(double(startB().x) - startA().x, double(startB().y) - startA().y);
    const double now = std::hypot(double(b.x) - a.x, double(b.y) - a.y);
    // Two fingers that came down on the same point have no spread to compare with.
    return initial > 0 ? now / initial : 1;
}
