#include "tweak/session/SpringBoardCalls.h"

#include "platform/uikit/UIView.h"
#include "platform/springboard/SpringBoardInterface.h"

namespace SpringBoardCalls {

namespace {

Class awayControllerClass() {
    static const Class cls = objc_getClass("SBAwayController");  // looked up once and kept
    return cls;
}

UIView* asView(id object) { return objc_cast<UIView>(object); }

}  // namespace

id sharedAwayController() { return SB::sharedAwayController.send(awayControllerClass()); }

id sharedAwayControllerIfExists() {
    return SB::sharedAwayControllerIfExists.send(awayControllerClass());
}

bool isLocked(id awayController) { return SB::isLocked.send(awayController); }

UIView* awayView(id awayController) { return asView(SB::awayView.send(awayController)); }

bool isShowingMediaControls(id awayController) {
    return SB::isShowingMediaControls.send(awayController);
}

bool isSyncing(id awayController) {
    return SB::isSyncing.isAnsweredBy(awayController) && SB::isSyncing.send(awayController);
}

void restartDimTimer(float seconds) {
    const id controller = sharedAwayController();
    if (SB::restartDimTimer.isAnsweredBy(controller)) SB::restartDimTimer.send(controller, seconds);
}

void unlockWithSound(id awayController, bool sound) {
    SB::unlockWithSound.send(awayController, sound);
}

void unlockWithSoundVersioned(id awayController, bool sound) {
    if (SB::unlockWithSoundIsAutoUnlock.isAnsweredBy(awayController)) {
        SB::unlockWithSoundIsAutoUnlock.send(awayController, sound, false);
    } else {
        unlockWithSound(awayController, sound);
    }
}

UIImageRef renderSnapshot(UIView* view) { return SB::renderSnapshot.send(view); }

UIView* topBar(UIView* awayView) { return asView(SB::topBar.send(awayView)); }

void setStatusBarLockAndTime(bool lockVisible, bool timeVisible) {
    static const Class cls = objc_getClass("SBStatusBarController");
    SB::setIsLockVisible.send(SB::sharedStatusBarController.send(cls), lockVisible, timeVisible);
}

bool isUnlockBar(const UIView& view) {
    static const Class awayLockBar = objc_getClass("SBAwayLockBar");
    static const Class bottomLockBar = objc_getClass("TPBottomLockBar");
    return (awayLockBar && view.isKindOfClass(awayLockBar)) ||
           (bottomLockBar && view.isKindOfClass(bottomLockBar));
}

UIImageRef linenImage(CGRect bounds) {
    return SB::squareImageForBounds.send(objc_getClass("SBLinenView"), bounds);
}

bool deviceIsPassworded(Class awayControllerClass) {
    const id away = SB::sharedAwayController.send(awayControllerClass);
    if (SB::isPasswordProtected.isAnsweredBy(away)) return SB::isPasswordProtected.send(away);
    const id lock = SB::sharedController.send(objc_getClass("SBDeviceLockController"));
    if (lock && !SB::isPasswordProtected.isAnsweredBy(lock)) return false;
    return SB::isPasswordProtected.send(lock);
}

}  // namespace SpringBoardCalls
