#include "platform/uikit/UITwoFingerGestureRecognizer.h"

#include <cmath>

CV_REGISTER_CLASS(UITwoFingerGestureRecognizer, UIGestureRecognizer)

namespace {

CGFloat distance(CGPoint a, CGPoint b) {
    return std::hypot(b.x - a.x, b.y - a.y);
}

}  // namespace

UITwoFingerGestureRecognizer::UITwoFingerGestureRecognizer(id target, SEL action, Class cls)
    : UIGestureRecognizer(target, action, cls) {}

bool UITwoFingerGestureRecognizer::hasPair() const {
    return touches().size() >= 2;
}

void UITwoFingerGestureRecognizer::began(const UITouchSet&, UIEvent*) {
    if (paired_ || !hasPair()) return;
    paired_ = true;
    startA_ = touches()[0]->screenLocation();
    startB_ = touches()[1]->screenLocation();
    value_ = restingValue();
    rate_ = 0;
    lastTimestamp_ = std::max(touches()[0]->timestamp(), touches()[1]->timestamp());
}

void UITwoFingerGestureRecognizer::moved(const UITouchSet&, UIEvent* event) {
    if (!paired_ || !hasPair()) return;
    const CGPoint a = touches()[0]->screenLocation(), b = touches()[1]->screenLocation();
    const double timestamp = std::max(touches()[0]->timestamp(), touches()[1]->timestamp());
    switch (state()) {
        case UIGestureRecognizerStatePossible:
            if (std::max(distance(a, startA_), distance(b, startB_)) <
                thresholds_.beginMovementPoints) {
                return;
            }
            update(timestamp);
            setState(UIGestureRecognizerStateBegan);
            break;
        case UIGestureRecognizerStateBegan:
        case UIGestureRecognizerStateChanged:
            update(timestamp);
            setState(UIGestureRecognizerStateChanged);
            break;
        default:
            break;
    }
}

void UITwoFingerGestureRecognizer::update(double timestamp) {
    const CGPoint a = touches()[0]->screenLocation(), b = touches()[1]->screenLocation();
    const double next = measure(a, b, value_);
    const double elapsed = timestamp - lastTimestamp_;
    rate_ = elapsed > 0 ? (next - value_) / elapsed : 0;
    value_ = next;
    lastTimestamp_ = timestamp;
}

void UITwoFingerGestureRecognizer::ended(const UITouchSet& touches, UIEvent*) {
    const bool pairFinger =
        paired_ && (touches.containsObject(this->touches()[0].get()) ||
                    (hasPair() && touches.containsObject(this->touches()[1].get())));
    if (!pairFinger) return;
    if (state() == UIGestureRecognizerStateBegan || state() == UIGestureRecognizerStateChanged) {
        setState(UIGestureRecognizerStateEnded);
    } else if (state() == UIGestureRecognizerStatePossible) {
        setState(UIGestureRecognizerStateFailed);
    }
}

void UITwoFingerGestureRecognizer::reset() {
    paired_ = false;
    value_ = restingValue();
    rate_ = 0;
}
