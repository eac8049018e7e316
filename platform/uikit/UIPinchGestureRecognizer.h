#pragma once

// Two fingers spreading or closing: the scale is the distance between them over their distance
// when the second finger came down; the velocity is the scale's change per second.

#include "platform/uikit/UITwoFingerGestureRecognizer.h"

class UIPinchGestureRecognizer : public UITwoFingerGestureRecognizer {
public:
    CV_DECLARE_CLASS()

    // initWithTarget:action:.
    UIPinchGestureRecognizer(id target, SEL action, Class cls = class_());

    // 1 until the gesture begins.
    CGFloat scale() const { return static_cast<CGFloat>(value()); }
    void setScale(CGFloat scale) { setValue(scale); }
    CGFloat velocity() const { return static_cast<CGFloat>(rate()); }

protected:
    double measure(CGPoint a, CGPoint b, double previous) const override;
    double restingValue() const override { return 1; }
};
