#include "platform/uikit/UITouchInjector.h"

#include "platform/uikit/UIApplication.h"
#include "platform/uikit/UIEvent.h"
#include "platform/uikit/UIGestureRecognizer.h"
#include "platform/uikit/UIView.h"
#include "platform/uikit/UIWindow.h"

#include <cmath>

std::shared_ptr<UIEvent> UITouchInjector::makeEvent(const UIApplication& application,
                                                    UITouchPhase phase,
                                                    std::span<const CGPoint> screenPoints,
                                                    double timestamp) {
    if (phase == UITouchPhaseBegan) {
        for (auto& touch : touches_) touch->setPhase(UITouchPhaseStationary, touch->timestamp());
        for (CGPoint point : screenPoints)
            touches_.push_back(touchDown(application, point, timestamp));
    } else if (phase == UITouchPhaseMoved || phase == UITouchPhaseStationary) {
        if (touches_.empty() && screenPoints.empty()) return nullptr;
        for (size_t i = 0; i < screenPoints.size(); ++i) {
            if (i < touches_.size()) {
                touches_[i]->moveTo(screenPoints[i], timestamp);
            } else {
                touches_.push_back(touchDown(application, screenPoints[i], timestamp));
            }
        }
        for (size_t i = screenPoints.size(); i < touches_.size(); ++i) {
            touches_[i]->setPhase(UITouchPhaseStationary, touches_[i]->timestamp());
        }
    } else {
        if (touches_.empty()) return nullptr;
        for (auto& touch : touches_) touch->setPhase(phase, timestamp);
        if (phase == UITouchPhaseEnded) {
            lastTapTime_ = timestamp;
            lastTapPoint_ = touches_.front()->screenLocation();
            lastTapCount_ = touches_.front()->tapCount();
        }
    }
    return std::make_shared<UIEvent>(UITouchSet(touches_), timestamp);
}

void UITouchInjector::forgetFinishedTouches() {
    std::erase_if(touches_, [](const auto& touch) {
        return touch->phase() == UITouchPhaseEnded || touch->phase() == UITouchPhaseCancelled;
    });
}

std::shared_ptr<UITouch> UITouchInjector::touchDown(const UIApplication& application,
                                                    CGPoint screenPoint, double timestamp) {
    const auto [window, view] = application.hitTestScreen(screenPoint, nullptr);
    auto touch = std::make_shared<UITouch>(screenPoint, timestamp, window, view);
    touch->setTapCount(tapCountFor(screenPoint, timestamp));
    // The recognisers of the hit view and its ancestors, innermost first.
    std::vector<WeakRef<UIGestureRecognizer>> recognizers;
    for (UIView* v = view; v; v = v->superview()) {
        for (const auto& recognizer : v->gestureRecognizers()) {
            if (recognizer->isEnabled()) recognizers.emplace_back(recognizer.get());
        }
    }
    touch->setGestureRecognizers(std::move(recognizers));
    // A view that takes one finger at a time gets only the first of those on it.
    if (view && !view->isMultipleTouchEnabled()) {
        for (const auto& other : touches_) {
            if (other->view() == view && other->deliversToView()) touch->setDeliversToView(false);
        }
    }
    return touch;
}

int UITouchInjector::tapCountFor(CGPoint screenPoint, double timestamp) const {
    if (lastTapTime_ < 0 || timestamp - lastTapTime_ > tapThresholds_.maximumIntervalSeconds) {
        return 1;
    }
    const CGFloat distance =
        std::hypot(screenPoint.x - lastTapPoint_.x, screenPoint.y - lastTapPoint_.y);
    return distance <= tapThresholds_.maximumDistancePoints ? lastTapCount_ + 1 : 1;
}
