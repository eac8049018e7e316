#include "tweak/views/CVTouchView.h"

#include "tweak/session/CVSessionState.h"
#include "tweak/settings/CVSettings.h"
#include "platform/springboard/SpringBoardInterface.h"
#include "tweak/views/CVPassThroughRule.h"

namespace {

// How long the lock screen stays lit after each touch.
constexpr float kDimTimerSeconds = 10.0f;

// Keeps the lock screen lit: SBAwayController's shared controller restarts its dim timer. Nothing
// when SpringBoard has no such controller.
void restartSpringBoardDimTimer() {
    const id controller = SB::sharedAwayController.send(objc_getClass("SBAwayController"));
    SB::restartDimTimer.send(controller, kDimTimerSeconds);
}

}  // namespace

Class CVTouchView::class_() {
    static const Class cls = objc_defineClass(
        "CVTouchView", UIView::class_(),
        {UIViewMessage::initWithFrame.implementedBy(&initWithFrameImplementation),
         UIViewMessage::hitTest.implementedBy(&hitTestImplementation),
         UIResponderMessage::touchesBegan.implementedBy(&touchesBeganImplementation),
         UIResponderMessage::touchesMoved.implementedBy(&touchesMovedImplementation),
         UIResponderMessage::touchesEnded.implementedBy(&touchesEndedImplementation)});
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
    const auto delegate = static_cast<CVTouchView*>(self)->delegate();
    if (delegate && !delegate->capturesOnlyPassiveBackground()) {
        return UIView::hitTestImplementation(self, cmd, point, event);
    }
    // Both views cover the screen from the same origin, so the point needs no conversion.
    UIView* lockScreen = delegate ? delegate->lockScreenView() : nullptr;
    UIView* hitView = lockScreen ? lockScreen->hitTest(point, event) : nullptr;
    if (CVTouchViewCapturesHitView(hitView)) return static_cast<CVTouchView*>(self);
    return hitView;
}

void CVTouchView::touchesBeganImplementation(id self, SEL, const UITouchSet* touches, UIEvent*) {
    if (const auto delegate = static_cast<CVTouchView*>(self)->delegate()) {
        delegate->lockscreenTouchesBegan(touches);
    }
    restartSpringBoardDimTimer();
}

void CVTouchView::touchesMovedImplementation(id self, SEL, const UITouchSet* touches, UIEvent*) {
    if (const auto delegate = static_cast<CVTouchView*>(self)->delegate()) {
        delegate->lockscreenTouchesMoved(touches);
    }
    restartSpringBoardDimTimer();
}

void CVTouchView::touchesEndedImplementation(id self, SEL, const UITouchSet* touches, UIEvent*) {
    if (const auto delegate = static_cast<CVTouchView*>(self)->delegate()) {
        delegate->lockscreenTouchesEnded(touches);
    }
    restartSpringBoardDimTimer();
}
