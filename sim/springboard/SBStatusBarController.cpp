#include "sim/springboard/SBStatusBarController.h"

#include "platform/uikit/UIApplication.h"
#include "platform/uikit/UIScreen.h"
#include "sim/springboard/SpringBoardArtwork.h"
#include "sim/springboard/SpringBoardEvents.h"
#include "sim/springboard/SpringBoardTime.h"
#include "platform/springboard/SpringBoardInterface.h"

namespace {
constexpr CGFloat kBarHeight = 20;
constexpr int kClockItem = 0;
}  // namespace

Class SBStatusBarController::class_() {
    static const Class cls = objc_defineClass(
        "SBStatusBarController", NSObject::class_(),
        {SB::setIsLockVisible.implementedBy(&setIsLockVisibleImplementation),
         SB::sharedStatusBarController.implementedBy(
             [](Class, SEL) -> id { return sharedStatusBarController(); })});
    return cls;
}

SBStatusBarController* SBStatusBarController::sharedStatusBarController() {
    static SBStatusBarController* shared = new SBStatusBarController;  // lives with SpringBoard
    return shared;
}

SBStatusBarController::SBStatusBarController() : NSObject(class_()) {
    const CGFloat width = UIScreen::mainScreen()->bounds().size.width;
    window_ = UIView::create<UIWindow>(CGRectMake(0, 0, width, kBarHeight));
    window_->setWindowLevel(UIWindowLevelStatusBar);
    window_->setUserInteractionEnabled(false);
    bar_ = UIView::create<UIImageView>(CGRectMake(0, 0, width, kBarHeight));
    window_->addSubview(bar_);
    UIApplication::sharedApplication()->addWindow(window_);
    redraw();
}

void SBStatusBarController::setIsLockVisible(bool lockVisible, bool timeVisible) {
    SB::setIsLockVisible.send(this, lockVisible, timeVisible);
}

void SBStatusBarController::setIsLockVisibleImplementation(id self, SEL, bool lockVisible,
                                                           bool timeVisible) {
    auto* controller = static_cast<SBStatusBarController*>(self);
    controller->lockVisible_ = lockVisible;
    controller->timeVisible_ = timeVisible;
    SpringBoardEvents::emit("status-bar", {{"lock", lockVisible}, {"time", timeVisible}});
    controller->redraw();
}

void SBStatusBarController::redraw() {
    const bool clockItem = UIApplication::sharedApplication()->isStatusBarItemVisible(kClockItem);
    bar_->setImage(SpringBoardArtwork::statusBar(bar_->bounds().size, UIScreen::mainScreen()->scale(),
                                                 lockVisible_, timeVisible_,
                                                 SpringBoardTime::timeText(), clockItem));
}
