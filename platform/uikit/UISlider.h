#pragma once

// A slider: a value between a minimum and a maximum, chosen by dragging a round thumb along a
// track. The track is blue to the left of the thumb and light grey to its right; the slider is
// always 23 points high, whatever height its frame is given. A finger that goes down on the thumb
// (or within a few points of it) moves it, keeping the thumb where the finger holds it; a finger
// elsewhere on the track does nothing. Value-changed goes out on every movement of the thumb when
// the slider is continuous, else once when the finger lifts, if the value changed.

#include "platform/uikit/UIControl.h"

class UISlider : public UIControl {
public:
    CV_DECLARE_CLASS()

    // The height every slider takes.
    static constexpr CGFloat kHeight = 23;

    // A continuous slider from 0 to 1 at 0.
    explicit UISlider(Class cls = class_());

    float minimumValue() const { return minimum_; }
    // The value at the left end; a maximum below it is raised to it, and the value is clamped.
    void setMinimumValue(float minimum);
    float maximumValue() const { return maximum_; }
    // The value at the right end; a minimum above it is lowered to it, and the value is clamped.
    void setMaximumValue(float maximum);
    float value() const { return value_; }
    // Moves the thumb to `value` clamped to [minimum, maximum]; sends no action.
    void setValue(float value);
    bool isContinuous() const { return continuous_; }
    void setContinuous(bool continuous) { continuous_ = continuous; }

    // Where the thumb's centre lies now, in the slider's coordinates.
    CGPoint thumbCenter() const;

    // UIView's setters, keeping the height at 23 and redrawing for a new width.
    void setFrame(CGRect frame);
    void setBounds(CGRect bounds);

protected:
    void enabledDidChange() override { redraw(); }

private:
    static id initWithFrameImplementation(id self, SEL cmd, CGRect frame);
    static bool beginTrackingImplementation(id self, SEL cmd, UITouch* touch, UIEvent* event);
    static bool continueTrackingImplementation(id self, SEL cmd, UITouch* touch, UIEvent* event);
    static void endTrackingImplementation(id self, SEL cmd, UITouch* touch, UIEvent* event);

    // The value whose thumb centre lies at `x`.
    float valueAtThumbCenter(CGFloat x) const;
    void redraw();

    float minimum_ = 0, maximum_ = 1, value_ = 0;
    bool continuous_ = true;
    // While a finger drags: how far it is from the thumb's centre, and the value when it went down.
    CGFloat grabOffset_ = 0;
    float valueAtTouchDown_ = 0;
};
