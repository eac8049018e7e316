#pragma once

// Controls: views that turn the touches they receive into control events and send actions to
// targets. A control keeps the touches that land on it (it does not pass them up the responder
// chain) and follows the first finger through the tracking messages, which subclasses made at run
// time and replaced implementations take part in as with any message:
//
//   beginTrackingWithTouch:withEvent:    the finger went down; NO ignores the rest of its touch
//   continueTrackingWithTouch:withEvent: it moved; NO stops following it
//   endTrackingWithTouch:withEvent:      it lifted
//   cancelTrackingWithEvent:             its touch was cancelled
//
// After touch-down the control sends UIControlEventTouchDown; when the finger lifts, TouchUpInside
// or TouchUpOutside by where it lifted (a finger that slipped less than 70 points off the control
// is still inside); when the touch is cancelled, TouchCancel.
//
// Every action has the one type UIControlAction, the platform's longest form: the control sending
// it and the touch event that caused it, nil when the action was sent by a program (a value set in
// code, sendActionsForControlEvents). Receivers may ignore either argument.

#include "platform/quartz/WeakRef.h"
#include "platform/uikit/Forward.h"
#include "platform/uikit/UIView.h"

#include <vector>

// A set of control events, as the platform's bits.
using UIControlEvents = unsigned;
inline constexpr UIControlEvents UIControlEventTouchDown = 1u << 0;
inline constexpr UIControlEvents UIControlEventTouchUpInside = 1u << 6;
inline constexpr UIControlEvents UIControlEventTouchUpOutside = 1u << 7;
inline constexpr UIControlEvents UIControlEventTouchCancel = 1u << 8;
inline constexpr UIControlEvents UIControlEventValueChanged = 1u << 12;
inline constexpr UIControlEvents UIControlEventAllEvents = 0xFFFFFFFFu;

// The type of every action a control sends.
using UIControlAction = Message<void(id sender, UIEvent* event)>;

// The tracking messages (see above).
namespace UIControlMessage {
inline constinit const Message<bool(UITouch* touch, UIEvent* event)> beginTracking{
    "beginTrackingWithTouch:withEvent:"};
inline constinit const Message<bool(UITouch* touch, UIEvent* event)> continueTracking{
    "continueTrackingWithTouch:withEvent:"};
inline constinit const Message<void(UITouch* touch, UIEvent* event)> endTracking{
    "endTrackingWithTouch:withEvent:"};
inline constinit const Message<void(UIEvent* event)> cancelTracking{"cancelTrackingWithEvent:"};
}  // namespace UIControlMessage

class UIControl : public UIView {
public:
    CV_DECLARE_CLASS()

    // An enabled control without targets.
    explicit UIControl(Class cls = class_());

    // Sends `action` to `target` (not owned) on each of `events`. A nil target sends the action to
    // the first responder from the control up its chain (its superviews and their controllers)
    // that answers it. Adding the same target, action and events again adds nothing.
    void addTarget(id target, SEL action, UIControlEvents events);
    // Stops sending `action` (any, when nil) to `target` (any, when nil) on `events`.
    void removeTarget(id target, SEL action, UIControlEvents events);
    // Sends the actions of every target registered for any of `events`, with a nil event.
    void sendActionsForControlEvents(UIControlEvents events);

    bool isEnabled() const { return enabled_; }
    // A disabled control is drawn faded and is passed over by hit testing, so that touches on it
    // go to what lies beneath.
    void setEnabled(bool enabled);
    // Whether a finger is being followed now.
    bool isTracking() const { return tracking_; }
    // Whether the finger being followed (or the last one) is on the control.
    bool isTouchInside() const { return touchInside_; }

    // Send the tracking messages through the tables.
    bool beginTracking(UITouch* touch, UIEvent* event);
    bool continueTracking(UITouch* touch, UIEvent* event);
    void endTracking(UITouch* touch, UIEvent* event);
    void cancelTracking(UIEvent* event);

protected:
    // Sends the actions registered for any of `events`, carrying `event`.
    void sendActions(UIControlEvents events, UIEvent* event);
    // Called after the enabled state changes, for a subclass to redraw.
    virtual void enabledDidChange() {}

    // The platform's implementations: follow every touch, ignore its moves, do nothing at its end.
    static bool beginTrackingImplementation(id self, SEL cmd, UITouch* touch, UIEvent* event);
    static bool continueTrackingImplementation(id self, SEL cmd, UITouch* touch, UIEvent* event);
    static void endTrackingImplementation(id self, SEL cmd, UITouch* touch, UIEvent* event);
    static void cancelTrackingImplementation(id self, SEL cmd, UIEvent* event);

private:
    struct Target {
        WeakId target;  // unused when the action goes up the responder chain
        bool toResponderChain;
        SEL action;
        UIControlEvents events;
    };

    static UIView* hitTestImplementation(id self, SEL cmd, CGPoint point, UIEvent* event);
    static void touchesBeganImplementation(id self, SEL cmd, const UITouchSet* touches,
                                           UIEvent* event);
    static void touchesMovedImplementation(id self, SEL cmd, const UITouchSet* touches,
                                           UIEvent* event);
    static void touchesEndedImplementation(id self, SEL cmd, const UITouchSet* touches,
                                           UIEvent* event);
    static void touchesCancelledImplementation(id self, SEL cmd, const UITouchSet* touches,
                                               UIEvent* event);
    // Whether `touch` is on the control or near enough to count.
    bool isInside(const UITouch* touch) const;
    // Sends `action` up the responder chain from the control to the first that answers it.
    void sendToResponderChain(SEL action, UIEvent* event);

    std::vector<Target> targets_;
    bool enabled_ = true;
    bool tracking_ = false;
    bool touchInside_ = false;
};
