#include "platform/uikit/UIViewController.h"

#include "platform/uikit/UIView.h"

CV_REGISTER_CLASS(UIViewController, UIResponder)

UIViewController::UIViewController(Class cls) : UIResponder(cls) {}

UIViewController::~UIViewController() {
    if (view_ && view_->viewController() == this) view_->setViewController(nullptr);
}

void UIViewController::setView(std::shared_ptr<UIView> view) {
    if (view_ && view_->viewController() == this) view_->setViewController(nullptr);
    view_ = std::move(view);
    if (view_) view_->setViewController(this);
}

UIResponder* UIViewController::nextResponder() const {
    return view_ ? view_->superview() : nullptr;
}
