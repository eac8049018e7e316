#include "sim/device/WindowFingers.h"

#include <algorithm>

CGPoint WindowFingers::mirrored(CGPoint point) const {
    return CGPointMake(screen_.width - point.x, screen_.height - point.y);
}

FingerEvent WindowFingers::mouseDown(CGPoint point, bool alt) {
    mouse_ = {point};
    if (alt) mouse_.push_back(mirrored(point));
    lastMouse_ = point;
    return {UITouchPhaseBegan, mouse_};
}

std::optional<FingerEvent> WindowFingers::mouseMoved(CGPoint point, bool alt, bool shift) {
    if (mouse_.empty()) return std::nullopt;
    if (mouse_.size() == 2 && alt && shift) {
        const float dx = point.x - lastMouse_.x, dy = point.y - lastMouse_.y;
        for (auto& finger : mouse_) finger = CGPointMake(finger.x + dx, finger.y + dy);
    } else {
        mouse_[0] = point;
        if (mouse_.size() == 2 && alt) mouse_[1] = mirrored(point);
    }
    lastMouse_ = point;
    return FingerEvent{UITouchPhaseMoved, mouse_};
}

std::optional<FingerEvent> WindowFingers::mouseUp() {
    if (mouse_.empty()) return std::nullopt;
    mouse_.clear();
    return FingerEvent{UITouchPhaseEnded, {}};
}

std::optional<CGPoint> WindowFingers::secondFinger() const {
    if (mouse_.size() < 2) return std::nullopt;
    return mouse_[1];
}

FingerEvent WindowFingers::touchScreenPoints(UITouchPhase phase) const {
    FingerEvent event{phase, {}};
    for (const auto& finger : fingers_) event.points.push_back(finger.second);
    return event;
}

std::optional<FingerEvent> WindowFingers::fingerDown(std::int64_t id, CGPoint point) {
    if (fingersEnded_) return std::nullopt;
    fingers_.emplace_back(id, point);
    // A finger joining others goes down alone; the others stay where they are.
    return FingerEvent{UITouchPhaseBegan, {point}};
}

std::optional<FingerEvent> WindowFingers::fingerMoved(std::int64_t id, CGPoint point) {
    if (fingersEnded_) return std::nullopt;
    const auto finger = std::find_if(fingers_.begin(), fingers_.end(),
                                     [id](const auto& f) { return f.first == id; });
    if (finger == fingers_.end()) return std::nullopt;
    finger->second = point;
    return touchScreenPoints(UITouchPhaseMoved);
}

std::optional<FingerEvent> WindowFingers::fingerUp(std::int64_t id) {
    const auto before = fingers_.size();
    std::erase_if(fingers_, [id](const auto& f) { return f.first == id; });
    if (fingers_.size() == before) return std::nullopt;
    const bool first = !fingersEnded_;
    fingersEnded_ = !fingers_.empty();
    if (!first) return std::nullopt;
    return FingerEvent{UITouchPhaseEnded, {}};
}
