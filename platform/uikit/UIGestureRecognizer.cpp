#include "platform/uikit/UIGestureRecognizer.h"

#include "platform/uikit/UIView.h"

#include <algorithm>

CV_REGISTER_CLASS(UIGestureRecognizer, NSObject)

UIGestureRecognizer::UIGestureRecognizer(id target, SEL action, Class cls) : NSObject(cls) {
    addTarget(target, action);
}

void UIGestureRecognizer::addTarget(id target, SEL action) {
    if (target && action) targets_.push_back({WeakId(target), action});
}

void UIGestureRecognizer::removeTarget(id target, SEL action) {
    std::erase_if(targets_, [&](const Target& t) {
        return (!target || t.target.get() == target) && (!action || t.action == action);
    });
}

void UIGestureRecognizer::setEnabled(bool enabled) {
    enabled_ = enabled;
    if (!enabled &&
        (state_ == UIGestureRecognizerStateBegan || state_ == UIGestureRecognizerStateChanged)) {
        setState(UIGestureRecognizerStateCancelled);
    }
}

void UIGestureRecognizer::setView(UIView* view) {
    view_ = view;
}

CGPoint UIGestureRecognizer::locationInView(const UIView* view) const {
    if (touches_.empty()) return CGPointZero;
    CGPoint sum;
    for (const auto& touch : touches_) {
        const CGPoint p = touch->locationInView(view);
        sum.x += p.x;
        sum.y += p.y;
    }
    const auto n = static_cast<CGFloat>(touches_.size());
    return {sum.x / n, sum.y / n};
}

CGPoint UIGestureRecognizer::locationOfTouch(size_t index, const UIView* view) const {
    return index < touches_.size() ? touches_[index]->locationInView(view) : CGPointZero;
}

void UIGestureRecognizer::touchesBegan(const UITouchSet& touches, UIEvent* event) {
    if (!enabled_) return;
    event_ = event;
    for (const auto& touch : touches) {
        if (std::find(touches_.begin(), touches_.end(), touch) == touches_.end()) {
            touches_.push_back(touch);
        }
    }
    began(touches, event);
}

void UIGestureRecognizer::touchesMoved(const UITouchSet& touches, UIEvent* event) {
    event_ = event;
    if (enabled_) moved(touches, event);
}

void UIGestureRecognizer::touchesEnded(const UITouchSet& touches, UIEvent* event) {
    event_ = event;
    if (enabled_) ended(touches, event);
    forget(touches);
}

void UIGestureRecognizer::touchesCancelled(const UITouchSet& touches, UIEvent* event) {
    event_ = event;
    if (enabled_) cancelled(touches, event);
    forget(touches);
}

void UIGestureRecognizer::cancelled(const UITouchSet&, UIEvent*) {
    if (state_ == UIGestureRecognizerStateBegan || state_ == UIGestureRecognizerStateChanged) {
        setState(UIGestureRecognizerStateCancelled);
    } else if (state_ == UIGestureRecognizerStatePossible) {
        setState(UIGestureRecognizerStateFailed);
    }
}

void UIGestureRecognizer::forget(const UITouchSet& touches) {
    std::erase_if(touches_, [&](const auto& touch) { return touches.containsObject(touch.get()); });
    if (!touches_.empty()) return;
    if (state_ == UIGestureRecognizerStateBegan || state_ == UIGestureRecognizerStateChanged)
        return;
    state_ = UIGestureRecognizerStatePossible;
    reset();
}

void UIGestureRecognizer::setState(UIGestureRecognizerState state) {
    const UIGestureRecognizerState old = state_;
    state_ = state;
    if (state == UIGestureRecognizerStateBegan && old == UIGestureRecognizerStatePossible &&
        cancelsTouchesInView_) {
        cancelTouchesInView();
    }
    if (state != UIGestureRecognizerStatePossible && state != UIGestureRecognizerStateFailed) {
        sendActions();
    }
}

void UIGestureRecognizer::sendActions() {
    // Keep this recogniser alive: a target may let it go.
    const auto keep = weak_from_this().lock();
    const std::vector<Target> targets = targets_;
    for (const Target& t : targets) {
        if (auto target = t.target.lock()) {
            UIGestureRecognizerAction::Shape::send(target.get(), t.action, this);
        }
    }
}

void UIGestureRecognizer::cancelTouchesInView() {
    // Each view hears once about all of its touches that the gesture takes.
    std::vector<std::pair<std::shared_ptr<UIView>, UITouchSet>> byView;
    for (const auto& touch : touches_) {
        if (!touch->deliversToView()) continue;
        touch->setDeliversToView(false);
        UIView* view = touch->view();
        if (!view) continue;
        auto it = std::find_if(byView.begin(), byView.end(),
                               [view](const auto& entry) { return entry.first.get() == view; });
        if (it == byView.end()) {
            byView.push_back({view->sharedFromThis(), {}});
            it = std::prev(byView.end());
            if (!it->first) it->first = std::shared_ptr<UIView>(std::shared_ptr<UIView>(), view);
        }
        it->second.addObject(touch);
    }
    for (auto& [view, touches] : byView) {
        view->touchesCancelled(&touches, event_);
    }
}
