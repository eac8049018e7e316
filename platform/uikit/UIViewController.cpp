#include "platform/uikit/UIViewController.h"

#include "platform/uikit/UIView.h"
#include "platform/uikit/UIWindow.h"

namespace {

constexpr double kModalSlideSeconds = 0.3;

// `frame` moved down by `distance`.
CGRect lowered(CGRect frame, CGFloat distance) {
    frame.origin.y += distance;
    return frame;
}

}  // namespace

CV_REGISTER_CLASS(UIViewController, UIResponder)

UIViewController::UIViewController(Class cls) : UIResponder(cls) {}

UIViewController::~UIViewController() {
    if (modal_) modal_->parent_ = nullptr;
    if (view_ && view_->viewController() == this) view_->setViewController(nullptr);
}

void UIViewController::setView(std::shared_ptr<UIView> view) {
    if (view_ && view_->viewController() == this) view_->setViewController(nullptr);
    view_ = std::move(view);
    if (view_) view_->setViewController(this);
}

void UIViewController::loadView(CGRect frame) { setView(UIView::create(frame)); }

UIResponder* UIViewController::nextResponder() const {
    return view_ ? view_->superview() : nullptr;
}

// Modal presentation.

void UIViewController::presentModalViewController(std::shared_ptr<UIViewController> controller,
                                                  bool animated) {
    if (!controller || controller.get() == this || modal_ || controller->parent_) return;
    UIWindow* window = view_ ? view_->window() : nullptr;
    const std::shared_ptr<UIView> shown = controller->view();
    if (!window || !shown) return;
    modal_ = std::move(controller);
    modal_->parent_ = this;
    const CGRect cover = window->bounds();
    window->addSubview(shown);
    if (!animated) {
        shown->setFrame(cover);
        return;
    }
    shown->setFrame(lowered(cover, cover.size.height));
    UIView::animateWithDuration(kModalSlideSeconds, [&] { shown->setFrame(cover); });
}

void UIViewController::dismissModalViewControllerAnimated(bool animated) {
    if (!modal_) {
        if (parent_) parent_->dismissModalViewControllerAnimated(animated);
        return;
    }
    const std::shared_ptr<UIViewController> leaving = std::move(modal_);
    leaving->parent_ = nullptr;
    leaving->dismissModalViewControllerAnimated(false);
    const std::shared_ptr<UIView> shown = leaving->view();
    if (!shown) return;
    UIView* superview = shown->superview();
    if (!animated || !superview) {
        shown->removeFromSuperview();
        return;
    }
    const CGRect below = lowered(shown->frame(), superview->bounds().size.height);
    UIView::animateWithDuration(
        kModalSlideSeconds, [&] { shown->setFrame(below); },
        [leaving, shown](bool) {
            // Unless it has been presented again meanwhile.
            if (!leaving->parent_ && leaving->view() == shown) shown->removeFromSuperview();
        });
}
