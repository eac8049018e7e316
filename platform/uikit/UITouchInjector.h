#pragma once

// Turns the host's finger positions into touches and events: down, move, up and cancel of one or
// more fingers at screen points. A finger going down is hit-tested on the screen's windows; the
// touch keeps that view and the recognisers of it and its ancestors for its whole sequence.

#include "platform/graphics/CGGeometry.h"
#include "platform/uikit/Forward.h"
#include "platform/uikit/UITouch.h"

#include <memory>
#include <span>
#include <vector>

// Repeated taps count up when the next touch-down comes this soon, this near.
struct UITapThresholds {
    double maximumIntervalSeconds = 0.35;
    CGFloat maximumDistancePoints = 45;
};

class UITouchInjector {
public:
    // Makes the event for fingers at `screenPoints` in `phase` at `timestamp` seconds:
    //  - began: a new touch for each point (touches already down stay, stationary);
    //  - moved: the touches down move to the points in order; extra points go down as new touches;
    //  - ended, cancelled: every touch down ends (the points are ignored).
    // Null when there is nothing to send (a move or lift with no finger down).
    std::shared_ptr<UIEvent> makeEvent(const UIApplication& application, UITouchPhase phase,
                                       std::span<const CGPoint> screenPoints, double timestamp);
    // Drops the touches that ended or were cancelled, after their event was delivered.
    void forgetFinishedTouches();
    const std::vector<std::shared_ptr<UITouch>>& touches() const { return touches_; }

private:
    std::shared_ptr<UITouch> touchDown(const UIApplication& application, CGPoint screenPoint,
                                       double timestamp);
    int tapCountFor(CGPoint screenPoint, double timestamp) const;

    std::vector<std::shared_ptr<UITouch>> touches_;
    UITapThresholds tapThresholds_;
    double lastTapTime_ = -1;
    CGPoint lastTapPoint_;
    int lastTapCount_ = 0;
};
