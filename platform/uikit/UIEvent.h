#pragma once

// A touch event: every finger on the screen at one moment, each with its phase.

#include "platform/runtime/NSObject.h"
#include "platform/uikit/Forward.h"
#include "platform/uikit/UITouchSet.h"

class UIEvent : public NSObject {
public:
    CV_DECLARE_CLASS()

    // An event at `timestamp` seconds holding `touches`.
    UIEvent(UITouchSet touches, double timestamp, Class cls = class_());

    double timestamp() const { return timestamp_; }
    // Every touch of the event, whatever its phase.
    const UITouchSet& allTouches() const { return touches_; }
    // The touches whose hit view is `view`.
    UITouchSet touchesForView(const UIView* view) const;
    // The touches in `window`.
    UITouchSet touchesForWindow(const UIWindow* window) const;

private:
    UITouchSet touches_;
    double timestamp_;
};
