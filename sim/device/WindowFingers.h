#pragma once

// The fingers a window's mouse or touch screen stands for. The mouse is one finger; with Alt held
// as it goes down (or with its right button) it is two, the second mirrored about the screen's centre so that dragging
// pinches or turns them, and Shift with Alt carries the pair along together. A touch screen's
// own fingers are passed on as they are, in the order they came down.

#include "platform/graphics/CGGeometry.h"
#include "platform/uikit/UITouch.h"

#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

// What the device is told: the fingers at `points` (screen points) go down, move or lift.
struct FingerEvent {
    UITouchPhase phase;
    std::vector<CGPoint> points;
};

class WindowFingers {
public:
    // For a screen of `screen` points.
    explicit WindowFingers(CGSize screen) : screen_(screen) {}

    // The mouse button going down at `point`; two fingers when `alt`.
    FingerEvent mouseDown(CGPoint point, bool alt);
    // The mouse moving to `point`; nothing unless its button is down. With two fingers, `alt`
    // keeps the second mirrored, `alt` with `shift` moves both by the mouse's step, and neither
    // leaves the second where it is.
    std::optional<FingerEvent> mouseMoved(CGPoint point, bool alt, bool shift);
    // The mouse button coming up; nothing unless it was down.
    std::optional<FingerEvent> mouseUp();

    // A touch screen's finger `id` going down, moving or lifting. Lifting any finger ends the
    // touch of all of them, as a script's "up" does; the rest are ignored until every finger
    // has lifted.
    std::optional<FingerEvent> fingerDown(std::int64_t id, CGPoint point);
    std::optional<FingerEvent> fingerMoved(std::int64_t id, CGPoint point);
    std::optional<FingerEvent> fingerUp(std::int64_t id);

    // The point mirrored about the screen's centre: where Alt puts the second finger.
    CGPoint mirrored(CGPoint point) const;
    // The mouse's second finger while it is down with two; nothing otherwise.
    std::optional<CGPoint> secondFinger() const;

private:
    FingerEvent touchScreenPoints(UITouchPhase phase) const;

    CGSize screen_;
    // The mouse's fingers while its button is down: one, or two.
    std::vector<CGPoint> mouse_;
    CGPoint lastMouse_{};
    // The touch screen's fingers in the order they came down, and whether one has lifted.
    std::vector<std::pair<std::int64_t, CGPoint>> fingers_;
    bool fingersEnded_ = false;
};
