#include "tweak/views/CVTouchView.h"

#include "platform/runtime/objc.h"
#include "tweak/session/CVAwayController.h"
#include "tweak/session/CVSessionState.h"
#include "tweak/settings/CVSettings.h"
#include "tweak/views/CVPassThroughRule.h"

namespace {

constexpr std::int32_t kPullBadgeUnlockType = 4;
// How long the lock screen stays lit after each touch.
constexpr float kDimTimerSeconds = 10.0f;

// The unlock type of the session state's settings; 0 without a record, as a message to nil
// answers.
std::int32_t unlockType() {
    const CVSettings* settings = CVSession().settings;
    return settings ? settings->unlockType() : 0;
}

// Keeps the lock screen lit: SBAwayController's shared controller restarts its dim timer. Nothing
// when SpringBoard has no such controller.
void restartSpringBoardDimTimer() {
    const id controller = objc_msgSendClass<id>(objc_getClass("SBAwayController"),
                                                CV_SELECTOR("sharedAwayController"));
    objc_msgSend<void, float>(controller, CV_SELECTOR("restartDimTimer:"), kDimTimerSeconds);
}

}  // namespace

Class CVTouchView::class_() {
    static const Class cls =
        objc_defineClass("CVTouchView", UIView::class_(),
                         {{"initWithFrame:", imp_cast(&initWithFrameImplementation)},
                          {"hitTest:withEvent:", imp_cast(&hitTestImplementation)},
                          {"touchesBegan:withEvent:", imp_cast(&touchesBeganImplementation)},
                          {"touchesMoved:withEvent:", imp_cast(&touchesMovedImplementation)},
                          {"touchesEnded:withEvent:", imp_cast(&touchesEndedImplementation)}});
    return cls;
}

CVTouchView::CVTouchView() : UIView(class_()) {}

id CVTouchView::initWithFrameImplementation(id self, SEL cmd, CGRect frame) {
    auto* view = static_cast<CVTouchView*>(UIView::initWithFrameImplementation(self, cmd, frame));
    if (!view) return nullptr;
    // Not fully transparent: a view below alpha 0.01 would not be hit at all.
    view->setBackgroundColor(UIColor::colorWithWhite(0.5, 0.01));
    CVSession().settings = &CVSettings::sharedCVSettings();
    return view;
}

UIView* CVTouchView::hitTestImplementation(id self, SEL cmd, CGPoint point, UIEvent* event) {
    if (unlockType() == kPullBadgeUnlockType) {
        return UIView::hitTestImplementation(self, cmd, point, event);
    }
    // Both views cover the screen from the same origin, so the point needs no conversion.
    UIView* awayView = CVAwayController::getAwayView();
    UIView* hitView = awayView ? awayView->hitTest(point, event) : nullptr;
    if (CVTouchViewCapturesHitView(hitView)) return static_cast<CVTouchView*>(self);
    return hitView;
}

void CVTouchView::touchesBeganImplementation(id, SEL, const UITouchSet* touches, UIEvent*) {
    CVAwayController::sharedCVAwayController().lockscreenTouchesBegan(touches);
    restartSpringBoardDimTimer();
}

void CVTouchView::touchesMovedImplementation(id, SEL, const UITouchSet* touches, UIEvent*) {
    CVAwayController::sharedCVAwayController().lockscreenTouchesMoved(touches);
    restartSpringBoardDimTimer();
}

void CVTouchView::touchesEndedImplementation(id, SEL, const UITouchSet* touches, UIEvent*) {
    CVAwayController::sharedCVAwayController().lockscreenTouchesEnded(touches);
    restartSpringBoardDimTimer();
}
