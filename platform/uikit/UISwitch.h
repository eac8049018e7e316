#pragma once

// An on/off switch, 94 × 27 points whatever size its frame is given: a rounded track, blue with
// "ON" when on and light grey with "OFF" when off, and a round knob at the end the state names. A
// tap toggles it; a finger that slides the knob more than a few points sideways sets it on
// (rightward) or off (leftward). Either way, value-changed goes out when the state changed.

#include "platform/uikit/Forward.h"
#include "platform/uikit/UIControl.h"

#include <memory>

class UISwitch : public UIControl {
public:
    CV_DECLARE_CLASS()

    // The size every switch takes.
    static constexpr CGSize kSize{94, 27};

    // A switch that is off.
    explicit UISwitch(Class cls = class_());

    bool isOn() const { return on_; }
    // Sets the state without sending an action; animated, the knob slides and the colour fades
    // over a fifth of a second.
    void setOn(bool on, bool animated = false);

    // UIView's setter, keeping the switch's size.
    void setFrame(CGRect frame);

protected:
    void enabledDidChange() override { redraw(); }

private:
    static id initWithFrameImplementation(id self, SEL cmd, CGRect frame);
    static bool beginTrackingImplementation(id self, SEL cmd, UITouch* touch, UIEvent* event);
    static void endTrackingImplementation(id self, SEL cmd, UITouch* touch, UIEvent* event);

    CGRect knobFrame() const;
    // Places the knob and shows the track of the state.
    void showState();
    void redraw();

    bool on_ = false;
    // Where the finger went down, to tell a slide from a tap.
    CGFloat touchDownX_ = 0;
    std::shared_ptr<UIImageView> offTrack_, onTrack_, knob_;
};
