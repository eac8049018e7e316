#include "platform/uikit/UIView.h"

#include "platform/uikit/UIGestureRecognizer.h"
#include "platform/uikit/UIViewController.h"
#include "platform/uikit/UIWindow.h"

#include <algorithm>

Class UIView::class_() {
    static const Class cls =
        objc_defineClass("UIView", UIResponder::class_(),
                         {UIViewMessage::initWithFrame.implementedBy(&initWithFrameImplementation),
                          UIViewMessage::hitTest.implementedBy(&hitTestImplementation),
                          UIViewMessage::pointInside.implementedBy(&pointInsideImplementation),
                          UIViewMessage::setHidden.implementedBy(&setHiddenImplementation)});
    return cls;
}

UIView::UIView(Class cls) : UIResponder(cls), layer_(CALayer::layer()) {
    layer_->setDelegate(this);
}

UIView::~UIView() {
    for (const auto& view : subviews_) view->superview_ = nullptr;
    for (const auto& recognizer : recognizers_) recognizer->setView(nullptr);
    layer_->setDelegate(nullptr);
}

// Messages sent through the tables.

id UIView::initWithFrame(CGRect frame) { return UIViewMessage::initWithFrame.send(this, frame); }

UIView* UIView::hitTest(CGPoint point, UIEvent* event) {
    return UIViewMessage::hitTest.send(this, point, event);
}

bool UIView::pointInside(CGPoint point, UIEvent* event) {
    return UIViewMessage::pointInside.send(this, point, event);
}

void UIView::setHidden(bool hidden) { UIViewMessage::setHidden.send(this, hidden); }

id UIView::initWithFrameImplementation(id self, SEL, CGRect frame) {
    static_cast<UIView*>(self)->setFrame(frame);
    return self;
}

UIView* UIView::hitTestImplementation(id self, SEL, CGPoint point, UIEvent* event) {
    auto* view = static_cast<UIView*>(self);
    if (view->isHidden() || !view->userInteractionEnabled_ || view->alpha() < 0.01f) return nullptr;
    if (!view->pointInside(point, event)) return nullptr;
    // Front-most first. Hold the subviews: a hit test may change the hierarchy.
    const auto subviews = view->subviews_;
    for (auto it = subviews.rbegin(); it != subviews.rend(); ++it) {
        const CGPoint inside = view->convertPointToView(point, it->get());
        if (UIView* hit = (*it)->hitTest(inside, event)) return hit;
    }
    return view;
}

bool UIView::pointInsideImplementation(id self, SEL, CGPoint point, UIEvent*) {
    return CGRectContainsPoint(static_cast<UIView*>(self)->bounds(), point);
}

void UIView::setHiddenImplementation(id self, SEL, bool hidden) {
    static_cast<UIView*>(self)->layer_->setHidden(hidden);
}

// Geometry.

void UIView::changeLayer(const char* keyPath, const CAValue& value) {
    if (UIViewAnimation::isRecording()) {
        UIViewAnimation::recordChange(layer_, keyPath, layer_->model().valueForKeyPath(keyPath),
                                      value);
    }
    layer_->setValueForKeyPath(value, keyPath);
}

void UIView::setFrame(CGRect frame) {
    CALayerProperties placed = layer_->model();
    placed.setFrame(frame);
    changeLayer("position", placed.position);
    if (!(placed.bounds == layer_->bounds())) changeLayer("bounds", placed.bounds);
}

void UIView::setBounds(CGRect bounds) {
    changeLayer("bounds", bounds);
}

void UIView::setCenter(CGPoint center) {
    changeLayer("position", center);
}

void UIView::setTransform(CGAffineTransform transform) {
    changeLayer("transform", transform);
}

void UIView::setAlpha(CGFloat alpha) {
    changeLayer("opacity", double(alpha));
}

void UIView::setBackgroundColor(UIColorRef color) {
    backgroundColor_ = std::move(color);
    layer_->setBackgroundColor(backgroundColor_ ? backgroundColor_->CGColor() : nullptr);
}

UIView* UIView::viewWithTag(int tag) {
    if (tag_ == tag) return this;
    for (const auto& view : subviews_) {
        if (UIView* found = view->viewWithTag(tag)) return found;
    }
    return nullptr;
}

// The hierarchy.

UIWindow* UIView::window() const {
    const UIView* root = this;
    while (root->superview_) root = root->superview_;
    return objc_cast<UIWindow>(const_cast<UIView*>(root));
}

std::shared_ptr<UIView> UIView::sharedFromThis() {
    auto owner = weak_from_this().lock();
    return owner ? std::shared_ptr<UIView>(owner, this) : nullptr;
}

size_t UIView::indexOfSubview(const UIView* view) const {
    auto it = std::find_if(subviews_.begin(), subviews_.end(),
                           [view](const auto& v) { return v.get() == view; });
    return static_cast<size_t>(it - subviews_.begin());
}

void UIView::detachSubview(UIView* view) {
    const size_t index = indexOfSubview(view);
    if (index == subviews_.size()) return;
    view->superview_ = nullptr;
    view->layer_->removeFromSuperlayer();
    subviews_.erase(subviews_.begin() + static_cast<std::ptrdiff_t>(index));
}

void UIView::placeSubview(const std::shared_ptr<UIView>& view, size_t index) {
    if (!view || view.get() == this || isDescendantOfView(view.get())) return;
    const std::shared_ptr<UIView> keep = view;
    if (keep->superview_) keep->superview_->detachSubview(keep.get());
    index = std::min(index, subviews_.size());
    // The layer goes just behind the layer of the view it is placed behind, so that layers of
    // our own beside the subviews' keep their places.
    size_t layerIndex = layer_->sublayers().size();
    if (index < subviews_.size()) {
        const auto& sublayers = layer_->sublayers();
        const CALayer* behind = subviews_[index]->layer();
        layerIndex = static_cast<size_t>(
            std::find_if(sublayers.begin(), sublayers.end(),
                         [behind](const auto& l) { return l.get() == behind; }) -
            sublayers.begin());
    }
    subviews_.insert(subviews_.begin() + static_cast<std::ptrdiff_t>(index), keep);
    keep->superview_ = this;
    layer_->insertSublayer(keep->layer_, layerIndex);
}

void UIView::addSubview(const std::shared_ptr<UIView>& view) {
    if (view && view->superview_ == this) {
        bringSubviewToFront(view.get());
        return;
    }
    placeSubview(view, subviews_.size());
}

void UIView::insertSubview(const std::shared_ptr<UIView>& view, size_t index) {
    placeSubview(view, index);
}

void UIView::insertSubviewBelowSubview(const std::shared_ptr<UIView>& view, const UIView* sibling) {
    if (view.get() == sibling) return;
    if (view && view->superview_ == this) detachSubview(view.get());
    placeSubview(view, indexOfSubview(sibling));
}

void UIView::insertSubviewAboveSubview(const std::shared_ptr<UIView>& view, const UIView* sibling) {
    if (view.get() == sibling) return;
    if (view && view->superview_ == this) detachSubview(view.get());
    const size_t index = indexOfSubview(sibling);
    placeSubview(view, index == subviews_.size() ? index : index + 1);
}

void UIView::removeFromSuperview() {
    if (UIView* parent = superview_) parent->detachSubview(this);
}

void UIView::bringSubviewToFront(const UIView* view) {
    const size_t index = indexOfSubview(view);
    if (index == subviews_.size()) return;
    const std::shared_ptr<UIView> keep = subviews_[index];
    detachSubview(keep.get());
    placeSubview(keep, subviews_.size());
}

void UIView::sendSubviewToBack(const UIView* view) {
    const size_t index = indexOfSubview(view);
    if (index == subviews_.size()) return;
    const std::shared_ptr<UIView> keep = subviews_[index];
    detachSubview(keep.get());
    placeSubview(keep, 0);
}

bool UIView::isDescendantOfView(const UIView* view) const {
    for (const UIView* v = this; v; v = v->superview_) {
        if (v == view) return true;
    }
    return false;
}

UIResponder* UIView::nextResponder() const {
    if (viewController_) return viewController_;
    return superview_;
}

// Coordinates.

CGAffineTransform UIView::transformToScreen() const {
    CGAffineTransform t = CGAffineTransformIdentity;
    for (const UIView* v = this; v; v = v->superview_) {
        t = CGAffineTransformConcat(t, v->layer_->model().transformToSuperlayer());
    }
    return t;
}

CGPoint UIView::convertPointToScreen(CGPoint point) const {
    return CGPointApplyAffineTransform(point, transformToScreen());
}

CGPoint UIView::convertPointFromScreen(CGPoint point) const {
    return CGPointApplyAffineTransform(point, CGAffineTransformInvert(transformToScreen()));
}

CGPoint UIView::convertPointToView(CGPoint point, const UIView* view) const {
    if (view == this) return point;
    const UIView* target = view;
    if (!target) {
        target = this;
        while (target->superview_) target = target->superview_;
    }
    return target->convertPointFromScreen(convertPointToScreen(point));
}

CGPoint UIView::convertPointFromView(CGPoint point, const UIView* view) const {
    if (view == this) return point;
    if (!view) {
        const UIView* root = this;
        while (root->superview_) root = root->superview_;
        view = root;
    }
    return view->convertPointToView(point, this);
}

CGRect UIView::convertRectToView(CGRect rect, const UIView* view) const {
    const UIView* target = view;
    if (!target) {
        target = this;
        while (target->superview_) target = target->superview_;
    }
    const CGAffineTransform t = CGAffineTransformConcat(
        transformToScreen(), CGAffineTransformInvert(target->transformToScreen()));
    return CGRectApplyAffineTransform(rect, t);
}

CGRect UIView::convertRectFromView(CGRect rect, const UIView* view) const {
    if (!view) {
        const UIView* root = this;
        while (root->superview_) root = root->superview_;
        view = root;
    }
    return view->convertRectToView(rect, this);
}

// Recognisers.

void UIView::addGestureRecognizer(const std::shared_ptr<UIGestureRecognizer>& recognizer) {
    if (!recognizer) return;
    const std::shared_ptr<UIGestureRecognizer> keep = recognizer;
    if (UIView* old = keep->view()) old->removeGestureRecognizer(keep.get());
    recognizers_.push_back(keep);
    keep->setView(this);
}

void UIView::removeGestureRecognizer(const UIGestureRecognizer* recognizer) {
    auto it = std::find_if(recognizers_.begin(), recognizers_.end(),
                           [recognizer](const auto& r) { return r.get() == recognizer; });
    if (it == recognizers_.end()) return;
    const std::shared_ptr<UIGestureRecognizer> keep = *it;
    recognizers_.erase(it);
    keep->setView(nullptr);
}
