#pragma once

// Two fingers turning: the rotation is the angle (radians, clockwise on the screen positive) that
// the line between them has turned since the second finger came down, counted on through full
// turns; the velocity is its change per second.

#include "platform/uikit/UITwoFingerGestureRecognizer.h"

class UIRotationGestureRecognizer : public UITwoFingerGestureRecognizer {
public:
    CV_DECLARE_CLASS()

    // initWithTarget:action:.
    UIRotationGestureRecognizer(id target, SEL action, Class cls = class_());

    // 0 until the gesture begins.
    CGFloat rotation() const { return static_cast<CGFloat>(value()); }
    void setRotation(CGFloat rotation) { setValue(rotation); }
    CGFloat velocity() const { return static_cast<CGFloat>(rate()); }

protected:
    double measure(CGPoint a, CGPoint b, double previous) const override;
    double restingValue() const override { return 0; }
};
