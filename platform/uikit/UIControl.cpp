#include "platform/uikit/UIControl.h"

#include "platform/uikit/UITouchSet.h"

#include <algorithm>

namespace {

// How far a finger may slip off a control and still lift inside it.
constexpr CGFloat kTouchInsideMargin = 70;

}  // namespace

Class UIControl::class_() {
    static const Class cls = objc_defineClass(
        "UIControl", UIView::class_(),
        {UIViewMessage::hitTest.implementedBy(&hitTestImplementation),
         UIResponderMessage::touchesBegan.implementedBy(&touchesBeganImplementation),
         UIResponderMessage::touchesMoved.implementedBy(&touchesMovedImplementation),
         UIResponderMessage::touchesEnded.implementedBy(&touchesEndedImplementation),
         UIResponderMessage::touchesCancelled.implementedBy(&touchesCancelledImplementation),
         UIControlMessage::beginTracking.implementedBy(&beginTrackingImplementation),
         UIControlMessage::continueTracking.implementedBy(&continueTrackingImplementation),
         UIControlMessage::endTracking.implementedBy(&endTrackingImplementation),
         UIControlMessage::cancelTracking.implementedBy(&cancelTrackingImplementation)});
    return cls;
}

UIControl::UIControl(Class cls) : UIView(cls) {}

// Targets and actions.

void UIControl::addTarget(id target, SEL action, UIControlEvents events) {
    if (!action || !events) return;
    const bool known = std::any_of(targets_.begin(), targets_.end(), [&](const Target& t) {
        return t.target.get() == target && t.toResponderChain == !target && t.action == action &&
               t.events == events;
    });
    if (!known) targets_.push_back({WeakId(target), !target, action, events});
}

void UIControl::removeTarget(id target, SEL action, UIControlEvents events) {
    for (Target& t : targets_) {
        if ((!target || t.target.get() == target) && (!action || t.action == action)) {
            t.events &= ~events;
        }
    }
    std::erase_if(targets_, [](const Target& t) { return t.events == 0; });
}

void UIControl::sendActionsForControlEvents(UIControlEvents events) {
    sendActions(events, nullptr);
}

void UIControl::sendActions(UIControlEvents events, UIEvent* event) {
    // Keep the control alive: a target may let it go.
    const auto keep = weak_from_this().lock();
    const std::vector<Target> targets = targets_;
    for (const Target& t : targets) {
        if (!(t.events & events)) continue;
        if (t.toResponderChain) {
            sendToResponderChain(t.action, event);
        } else if (auto target = t.target.lock()) {
            UIControlAction::Shape::send(target.get(), t.action, this, event);
        }
    }
}

void UIControl::sendToResponderChain(SEL action, UIEvent* event) {
    for (UIResponder* responder = this; responder; responder = responder->nextResponder()) {
        if (responder->respondsToSelector(action)) {
            UIControlAction::Shape::send(responder, action, this, event);
            return;
        }
    }
}

void UIControl::setEnabled(bool enabled) {
    if (enabled_ == enabled) return;
    enabled_ = enabled;
    enabledDidChange();
}

// Tracking.

bool UIControl::beginTracking(UITouch* touch, UIEvent* event) {
    return UIControlMessage::beginTracking.send(this, touch, event);
}

bool UIControl::continueTracking(UITouch* touch, UIEvent* event) {
    return UIControlMessage::continueTracking.send(this, touch, event);
}

void UIControl::endTracking(UITouch* touch, UIEvent* event) {
    UIControlMessage::endTracking.send(this, touch, event);
}

void UIControl::cancelTracking(UIEvent* event) {
    UIControlMessage::cancelTracking.send(this, event);
}

bool UIControl::beginTrackingImplementation(id, SEL, UITouch*, UIEvent*) {
    return true;
}

bool UIControl::continueTrackingImplementation(id, SEL, UITouch*, UIEvent*) {
    return true;
}

void UIControl::endTrackingImplementation(id, SEL, UITouch*, UIEvent*) {}

void UIControl::cancelTrackingImplementation(id, SEL, UIEvent*) {}

bool UIControl::isInside(const UITouch* touch) const {
    const CGPoint p = touch->locationInView(this);
    const CGRect b = bounds();
    return p.x >= CGRectGetMinX(b) - kTouchInsideMargin &&
           p.x <= CGRectGetMaxX(b) + kTouchInsideMargin &&
           p.y >= CGRectGetMinY(b) - kTouchInsideMargin &&
           p.y <= CGRectGetMaxY(b) + kTouchInsideMargin;
}

// Touches.

UIView* UIControl::hitTestImplementation(id self, SEL cmd, CGPoint point, UIEvent* event) {
    if (!static_cast<UIControl*>(self)->enabled_) return nullptr;
    return UIView::hitTestImplementation(self, cmd, point, event);
}

void UIControl::touchesBeganImplementation(id self, SEL, const UITouchSet* touches,
                                           UIEvent* event) {
    auto* control = static_cast<UIControl*>(self);
    UITouch* touch = touches->anyObject();
    if (!control->enabled_ || !touch || control->tracking_) return;
    const auto keep = control->weak_from_this().lock();
    control->touchInside_ = true;
    control->tracking_ = control->beginTracking(touch, event);
    if (control->tracking_) control->sendActions(UIControlEventTouchDown, event);
}

void UIControl::touchesMovedImplementation(id self, SEL, const UITouchSet* touches,
                                           UIEvent* event) {
    auto* control = static_cast<UIControl*>(self);
    UITouch* touch = touches->anyObject();
    if (!control->tracking_ || !touch) return;
    control->touchInside_ = control->isInside(touch);
    control->tracking_ = control->continueTracking(touch, event);
}

void UIControl::touchesEndedImplementation(id self, SEL, const UITouchSet* touches,
                                           UIEvent* event) {
    auto* control = static_cast<UIControl*>(self);
    UITouch* touch = touches->anyObject();
    if (!control->tracking_ || !touch) return;
    const auto keep = control->weak_from_this().lock();
    control->touchInside_ = control->isInside(touch);
    control->tracking_ = false;
    control->endTracking(touch, event);
    control->sendActions(
        control->touchInside_ ? UIControlEventTouchUpInside : UIControlEventTouchUpOutside, event);
}

void UIControl::touchesCancelledImplementation(id self, SEL, const UITouchSet*, UIEvent* event) {
    auto* control = static_cast<UIControl*>(self);
    if (!control->tracking_) return;
    const auto keep = control->weak_from_this().lock();
    control->tracking_ = false;
    control->cancelTracking(event);
    control->sendActions(UIControlEventTouchCancel, event);
}
