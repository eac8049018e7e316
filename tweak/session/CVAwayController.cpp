// The controller's class, its shared instance, its class methods and the messages that reach it
// through the method tables (animation did-stop selectors and recogniser actions).

#include "tweak/session/CVAwayController.h"

#include "platform/uikit/UIViewAnimation.h"
#include "tweak/session/SpringBoardCalls.h"
#include "tweak/views/ColorizeImage.h"

namespace {

// Did-stop selectors are sent with (animation identifier, finished, context); the controller's
// handlers ignore all three.
template <void (CVAwayController::*Handler)()>
void didStop(id self, SEL, const char*, bool, void*) {
    (static_cast<CVAwayController*>(self)->*Handler)();
}

// FIXME: the pinch, rotate and vault gestures are not built yet; their recognisers already
// send these actions, which must find an implementation.
void gestureAction(id, SEL, id) {}

}  // namespace

Class CVAwayController::class_() {
    static const Class cls = objc_defineClass(
        "CVAwayController", UIViewController::class_(),
        {{"gestureFinishedAnimating:finished:context:",
          imp_cast(&didStop<&CVAwayController::gestureFinishedAnimating>)},
         {"customMovementFinishedAnimatingWithUnlock:finished:context:",
          imp_cast(&didStop<&CVAwayController::customMovementFinishedAnimatingWithUnlock>)},
         {"unlockWithoutAnimations", imp_cast(&didStop<&CVAwayController::unlockWithoutAnimations>)},
         {"onPinch:", imp_cast(&gestureAction)},
         {"onRotate:", imp_cast(&gestureAction)},
         {"onVaultRotate:", imp_cast(&gestureAction)}});
    return cls;
}

CVAwayController& CVAwayController::sharedCVAwayController() {
    // A function-local static is made once, under a lock, however many threads ask at once.
    static CVAwayController* shared = new CVAwayController;
    return *shared;
}

CVAwayController::CVAwayController() : UIViewController(class_()) {
    settings = &CVSettings::sharedCVSettings();
}

UIView* CVAwayController::getAwayView() {
    CVSession().SBAwayController = objc_getClass("SBAwayController");
    return SpringBoardCalls::awayView(SpringBoardCalls::sharedAwayController());
}

bool CVAwayController::autoUnlock() { return CVSession().aUnlock; }

bool CVAwayController::deviceIsPassworded() {
    const Class awayClass = CVSession().SBAwayController;
    const id away = objc_msgSendClass<id>(awayClass, CV_SELECTOR("sharedAwayController"));
    if (away && away->respondsToSelector(CV_SELECTOR("isPasswordProtected"))) {
        return objc_msgSend<bool>(away, CV_SELECTOR("isPasswordProtected"));
    }
    const id lock = objc_msgSendClass<id>(objc_getClass("SBDeviceLockController"),
                                          CV_SELECTOR("sharedController"));
    if (lock && !lock->respondsToSelector(CV_SELECTOR("isPasswordProtected"))) return false;
    return objc_msgSend<bool>(lock, CV_SELECTOR("isPasswordProtected"));
}

UIImageRef CVAwayController::colorizeImage(const UIImageRef& image, const UIColorRef& color) const {
    return colorizeImageWithColor(image, color);
}

UIImageRef CVAwayController::imageWithColor(const UIColorRef& color, CGSize size) const {
    return imageWithColorAndSize(color, size);
}
