#pragma once

// One finger on the screen, from touch-down to lift or cancel. It keeps the view that was hit at
// touch-down for its whole sequence, and its locations in screen coordinates, which it converts
// to any view's coordinates through the view hierarchy, transforms included.

#include "platform/graphics/CGGeometry.h"
#include "platform/quartz/WeakRef.h"
#include "platform/runtime/NSObject.h"
#include "platform/uikit/Forward.h"

#include <memory>
#include <vector>

enum UITouchPhase : int {
    UITouchPhaseBegan = 0,
    UITouchPhaseMoved = 1,
    UITouchPhaseStationary = 2,
    UITouchPhaseEnded = 3,
    UITouchPhaseCancelled = 4,
};

class UITouch : public NSObject {
public:
    CV_DECLARE_CLASS()

    // A finger that went down at `screenPoint` at `timestamp` seconds, in `window` on `view`.
    UITouch(CGPoint screenPoint, double timestamp, UIWindow* window, UIView* view,
            Class cls = class_());

    UITouchPhase phase() const { return phase_; }
    // How many taps in quick succession at about the same place this touch belongs to (1 at
    // first).
    int tapCount() const { return tapCount_; }
    // When the touch last changed, in seconds on the main run loop's clock.
    double timestamp() const { return timestamp_; }
    // The view hit at touch-down; nil once it has gone away.
    UIView* view() const { return view_.get(); }
    UIWindow* window() const { return window_.get(); }
    // The location in `view`'s coordinates; in the window's when `view` is nil.
    CGPoint locationInView(const UIView* view) const;
    // The location before the last move, converted as locationInView.
    CGPoint previousLocationInView(const UIView* view) const;

    // Where the finger is, in screen coordinates.
    CGPoint screenLocation() const { return location_; }
    // The recognisers of the hit view and its ancestors, offered this touch for its sequence.
    const std::vector<WeakRef<UIGestureRecognizer>>& gestureRecognizers() const {
        return recognizers_;
    }
    // Whether the hit view still receives this touch: no once a recogniser has cancelled it there.
    bool deliversToView() const { return deliversToView_; }

    // Updates by the event source (UIApplication's touch injection and the window).
    void moveTo(CGPoint screenPoint, double timestamp);
    void setPhase(UITouchPhase phase, double timestamp);
    void setTapCount(int count) { tapCount_ = count; }
    void setGestureRecognizers(std::vector<WeakRef<UIGestureRecognizer>> recognizers) {
        recognizers_ = std::move(recognizers);
    }
    void setDeliversToView(bool delivers) { deliversToView_ = delivers; }

private:
    CGPoint convert(CGPoint screenPoint, const UIView* view) const;

    UITouchPhase phase_ = UITouchPhaseBegan;
    int tapCount_ = 1;
    double timestamp_;
    CGPoint location_, previous_;
    WeakRef<UIWindow> window_;
    WeakRef<UIView> view_;
    std::vector<WeakRef<UIGestureRecognizer>> recognizers_;
    bool deliversToView_ = true;
};
