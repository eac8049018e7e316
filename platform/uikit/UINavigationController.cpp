#include "platform/uikit/UINavigationController.h"

#include "platform/uikit/UIControl.h"
#include "platform/uikit/UIImageView.h"
#include "platform/uikit/UIKitArtwork.h"
#include "platform/uikit/UIView.h"

namespace {

constexpr double kSlideSeconds = 0.3;
constexpr CGRect kBackButton{{5, 7}, {70, 30}};
constexpr uint32_t kBarTop = 0xB0BCCD, kBarBottom = 0x6D84A2, kBarEdge = 0x2D3642;

inline constinit const UIControlAction kBackTapped{"backButtonTapped:event:"};

void backTapped(id self, SEL, id, UIEvent*) {
    static_cast<UINavigationController*>(self)->backButtonTapped();
}

// The bar: a blue-grey gradient with the title in white, and a back button shaped as an arrow.
UIImageRef barImage(CGSize size, const std::string& title, const std::string& back) {
    return UIArtworkImage(size, [&](const CGContextRef& ctx) {
        UIArtworkFillRoundedRect(ctx, CGRect{CGPointZero, size}, {}, kBarTop, kBarBottom);
        CGContextSetFillColorWithColor(ctx, UIArtworkColor(kBarEdge));
        CGContextFillRect(ctx, CGRectMake(0, size.height - 1, size.width, 1));
        CGTextStyle titleStyle{20, CGTextWeight::Bold, CGTextAlignment::Center, UIArtworkColor(0x2D3642)};
        CGContextShowTextInRect(ctx, title, CGRectMake(80, 1, size.width - 160, size.height), titleStyle);
        titleStyle.color = UIArtworkColor(0xFFFFFF);
        CGContextShowTextInRect(ctx, title, CGRectMake(80, 0, size.width - 160, size.height), titleStyle);
        if (back.empty()) return;
        UIArtworkFillRoundedRect(ctx, kBackButton, {5, 5}, 0x8A9BB5, 0x4C6389);
        UIArtworkStrokeRoundedRect(ctx, kBackButton, {5, 5}, 1, kBarEdge, 0.8f);
        const CGTextStyle backStyle{12, CGTextWeight::Bold, CGTextAlignment::Center,
                                   UIArtworkColor(0xFFFFFF)};
        CGContextShowTextInRect(ctx, "‹ " + back, kBackButton, backStyle);
    });
}

CGRect offsetBy(CGRect frame, CGFloat dx) {
    frame.origin.x += dx;
    return frame;
}

}  // namespace

Class UINavigationController::class_() {
    static const Class cls = objc_defineClass("UINavigationController", UIViewController::class_(),
                                              {kBackTapped.implementedBy(&backTapped)});
    return cls;
}

UINavigationController::UINavigationController(std::shared_ptr<UIViewController> root)
    : UIViewController(class_()) {
    if (!root) return;
    root->setNavigationController(this);
    stack_.push_back(std::move(root));
}

void UINavigationController::loadView(CGRect frame) {
    auto container = UIView::create(frame);
    container->setClipsToBounds(true);
    setView(container);
    bar_ = UIView::create<UIImageView>(CGRectMake(0, 0, frame.size.width, kBarHeight));
    bar_->setUserInteractionEnabled(true);
    auto back = UIView::create<UIControl>(kBackButton);
    back->addTarget(this, kBackTapped.selector(), UIControlEventTouchUpInside);
    backButton_ = back;
    bar_->addSubview(backButton_);
    container->addSubview(bar_);
    showTop(Entrance::InPlace);
}

CGRect UINavigationController::contentFrame() const {
    const CGSize size = view() ? view()->bounds().size : CGSizeZero;
    return CGRectMake(0, kBarHeight, size.width, size.height - kBarHeight);
}

UIViewController* UINavigationController::topViewController() const {
    return stack_.empty() ? nullptr : stack_.back().get();
}

void UINavigationController::pushViewController(std::shared_ptr<UIViewController> controller,
                                                bool animated) {
    if (!controller) return;
    controller->setNavigationController(this);
    stack_.push_back(std::move(controller));
    showTop(animated ? Entrance::SlideFromRight : Entrance::InPlace);
}

void UINavigationController::popViewControllerAnimated(bool animated) {
    if (stack_.size() < 2) return;
    auto leaving = stack_.back();
    stack_.pop_back();
    leaving->setNavigationController(nullptr);
    if (leaving->view() && view()) {
        UIView* gone = leaving->view().get();
        if (animated) {
            UIView::animateWithDuration(
                kSlideSeconds, [gone, width = view()->bounds().size.width] {
                    gone->setFrame(offsetBy(gone->frame(), width));
                },
                [leaving](bool) { leaving->view()->removeFromSuperview(); });
        } else {
            gone->removeFromSuperview();
        }
    }
    showTop(Entrance::InPlace);
}

void UINavigationController::showTop(Entrance entrance) {
    UIViewController* top = topViewController();
    if (!top || !view()) return;
    const CGRect frame = contentFrame();
    if (!top->view()) top->loadView(frame);
    UIView* shown = top->view().get();
    if (shown && shown->superview() != view().get()) {
        view()->addSubview(top->view());
        if (entrance == Entrance::SlideFromRight) {
            shown->setFrame(offsetBy(frame, frame.size.width));
            UIView::animateWithDuration(kSlideSeconds, [shown, frame] { shown->setFrame(frame); },
                                        nullptr);
        }
    }
    view()->bringSubviewToFront(bar_.get());
    redrawBar();
}

void UINavigationController::redrawBar() {
    if (!bar_) return;
    const std::string back = stack_.size() > 1 ? stack_[stack_.size() - 2]->title() : "";
    bar_->setImage(barImage(bar_->bounds().size, topViewController()->title(), back));
    backButton_->setHidden(back.empty());
}
