#pragma once

// Gesture recognisers: state machines fed with the touches of their view (and its subviews) before
// the view gets them. A recogniser that recognises its gesture sends its action to each target
// through the method tables (as a UIGestureRecognizerAction), on every change of
// state that the platform reports: began, changed, ended, cancelled. With cancelsTouchesInView
// (the default) the touches it has recognised are cancelled in their view, which gets
// touchesCancelled:withEvent: and no further messages for them.

#include "platform/graphics/CGGeometry.h"
#include "platform/quartz/WeakRef.h"
#include "platform/runtime/Message.h"
#include "platform/runtime/NSObject.h"
#include "platform/uikit/Forward.h"
#include "platform/uikit/UITouchSet.h"

#include <memory>
#include <vector>

enum UIGestureRecognizerState : int {
    UIGestureRecognizerStatePossible = 0,
    UIGestureRecognizerStateBegan = 1,
    UIGestureRecognizerStateChanged = 2,
    UIGestureRecognizerStateEnded = 3,
    UIGestureRecognizerStateCancelled = 4,
    UIGestureRecognizerStateFailed = 5,
    UIGestureRecognizerStateRecognized = UIGestureRecognizerStateEnded,
};

// The type of every action a recogniser sends.
using UIGestureRecognizerAction = Message<void(UIGestureRecognizer* recognizer)>;

class UIGestureRecognizer : public NSObject {
public:
    CV_DECLARE_CLASS()

    // A recogniser that sends `action` to `target` (neither owned); nil adds no target.
    UIGestureRecognizer(id target, SEL action, Class cls = class_());

    void addTarget(id target, SEL action);
    void removeTarget(id target, SEL action);

    UIGestureRecognizerState state() const { return state_; }
    // The view the recogniser is attached to (which owns it), or nil.
    UIView* view() const { return view_; }
    bool isEnabled() const { return enabled_; }
    // Disabling a recogniser in the middle of its gesture cancels it.
    void setEnabled(bool enabled);
    bool cancelsTouchesInView() const { return cancelsTouchesInView_; }
    void setCancelsTouchesInView(bool cancels) { cancelsTouchesInView_ = cancels; }

    // How many touches it is following.
    size_t numberOfTouches() const { return touches_.size(); }
    // The centroid of its touches in `view`'s coordinates (the window's for nil); (0, 0) with none.
    CGPoint locationInView(const UIView* view) const;
    // The location of its touch `index` in `view`; (0, 0) when there is no such touch.
    CGPoint locationOfTouch(size_t index, const UIView* view) const;

    // Delivery by the window: the touches of the event that the recogniser follows, by phase.
    void touchesBegan(const UITouchSet& touches, UIEvent* event);
    void touchesMoved(const UITouchSet& touches, UIEvent* event);
    void touchesEnded(const UITouchSet& touches, UIEvent* event);
    void touchesCancelled(const UITouchSet& touches, UIEvent* event);

    // Attaches the recogniser to `view` (done by UIView's addGestureRecognizer).
    void setView(UIView* view);

protected:
    // What a kind of recogniser does with its touches; `touches()` already holds the new ones
    // (began) or still holds the leaving ones (ended, cancelled).
    virtual void began(const UITouchSet& touches, UIEvent* event) {}
    virtual void moved(const UITouchSet& touches, UIEvent* event) {}
    virtual void ended(const UITouchSet& touches, UIEvent* event) {}
    virtual void cancelled(const UITouchSet& touches, UIEvent* event);
    // Back to its starting values, once a gesture is over.
    virtual void reset() {}

    // Moves to `state`, sends the actions where the platform does, and cancels the recognised
    // touches in their view when the gesture begins.
    void setState(UIGestureRecognizerState state);
    const std::vector<std::shared_ptr<UITouch>>& touches() const { return touches_; }

private:
    struct Target {
        WeakId target;
        SEL action;
    };

    void sendActions();
    void cancelTouchesInView();
    // Forgets the touches that have left and, once none is left, returns to possible.
    void forget(const UITouchSet& touches);

    UIGestureRecognizerState state_ = UIGestureRecognizerStatePossible;
    UIView* view_ = nullptr;
    std::vector<Target> targets_;
    std::vector<std::shared_ptr<UITouch>> touches_;
    bool enabled_ = true;
    bool cancelsTouchesInView_ = true;
    // The event being delivered, for the views whose touches a recognised gesture cancels.
    UIEvent* event_ = nullptr;
};
