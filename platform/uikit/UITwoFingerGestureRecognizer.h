#pragma once

// What the pinch and rotation recognisers share: they follow the first two fingers that come down
// on their view, begin once either finger has moved a little from where it was when the second
// came down, report a measure of the pair (its spread, its angle) and that measure's rate of
// change, and end when a finger of the pair lifts. One finger alone never begins them.

#include "platform/uikit/UIGestureRecognizer.h"

// The thresholds, in the units named.
struct UITwoFingerGestureThresholds {
    // How far (in points) a finger of the pair must move before the gesture begins.
    CGFloat beginMovementPoints = 3;
};

class UITwoFingerGestureRecognizer : public UIGestureRecognizer {
public:
    CV_DECLARE_CLASS()

    UITwoFingerGestureRecognizer(id target, SEL action, Class cls = class_());

    const UITwoFingerGestureThresholds& thresholds() const { return thresholds_; }
    void setThresholds(const UITwoFingerGestureThresholds& thresholds) { thresholds_ = thresholds; }

protected:
    // The measure of the pair with fingers at `a` and `b` (screen points), relative to its value
    // when the pair was formed; `previous` is the last value reported, for measures that wind.
    virtual double measure(CGPoint a, CGPoint b, double previous) const = 0;
    // The measure when nothing has changed (1 for a scale, 0 for a rotation).
    virtual double restingValue() const = 0;
    // The measure's value and rate per second, as last reported.
    double value() const { return value_; }
    double rate() const { return rate_; }
    void setValue(double value) { value_ = value; }
    // Where the pair's fingers were when the pair formed, in screen points.
    CGPoint startA() const { return startA_; }
    CGPoint startB() const { return startB_; }

    void began(const UITouchSet& touches, UIEvent* event) override;
    void moved(const UITouchSet& touches, UIEvent* event) override;
    void ended(const UITouchSet& touches, UIEvent* event) override;
    void reset() override;

private:
    bool hasPair() const;
    void update(double timestamp);

    UITwoFingerGestureThresholds thresholds_;
    bool paired_ = false;
    CGPoint startA_, startB_;
    double value_ = 0;
    double rate_ = 0;
    double lastTimestamp_ = 0;
};
