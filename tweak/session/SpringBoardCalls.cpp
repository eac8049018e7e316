#include "tweak/session/SpringBoardCalls.h"

#include "platform/uikit/UIView.h"

namespace SpringBoardCalls {

namespace {

Class awayControllerClass() {
    static const Class cls = objc_getClass("SBAwayController");  // looked up once and kept
    return cls;
}

UIView* asView(id object) { return objc_cast<UIView>(object); }

}  // namespace

id sharedAwayController() {
    return objc_msgSendClass<id>(awayControllerClass(), CV_SELECTOR("sharedAwayController"));
}

id sharedAwayControllerIfExists() {
    return objc_msgSendClass<id>(awayControllerClass(),
                                 CV_SELECTOR("sharedAwayControllerIfExists"));
}

bool isLocked(id awayController) {
    return objc_msgSend<bool>(awayController, CV_SELECTOR("isLocked"));
}

UIView* awayView(id awayController) {
    return asView(objc_msgSend<id>(awayController, CV_SELECTOR("awayView")));
}

bool isShowingMediaControls(id awayController) {
    return objc_msgSend<bool>(awayController, CV_SELECTOR("isShowingMediaControls"));
}

bool isSyncing(id awayController) {
    if (!awayController || !awayController->respondsToSelector(CV_SELECTOR("isSyncing"))) {
        return false;
    }
    return objc_msgSend<bool>(awayController, CV_SELECTOR("isSyncing"));
}

void restartDimTimer(float seconds) {
    const id controller = sharedAwayController();
    if (controller && controller->respondsToSelector(CV_SELECTOR("restartDimTimer:"))) {
        objc_msgSend(controller, CV_SELECTOR("restartDimTimer:"), seconds);
    }
}

void unlockWithSound(id awayController, bool sound) {
    objc_msgSend(awayController, CV_SELECTOR("unlockWithSound:"), sound);
}

void unlockWithSoundVersioned(id awayController, bool sound) {
    if (awayController &&
        awayController->respondsToSelector(CV_SELECTOR("unlockWithSound:isAutoUnlock:"))) {
        objc_msgSend(awayController, CV_SELECTOR("unlockWithSound:isAutoUnlock:"), sound, false);
    } else {
        unlockWithSound(awayController, sound);
    }
}

UIImageRef renderSnapshot(UIView* view) {
    return objc_msgSend<UIImageRef>(view, CV_SELECTOR("renderSnapshot"));
}

UIView* topBar(UIView* awayView) { return asView(objc_msgSend<id>(awayView, CV_SELECTOR("topBar"))); }

void setStatusBarLockAndTime(bool lockVisible, bool timeVisible) {
    static const Class cls = objc_getClass("SBStatusBarController");
    const id bar = objc_msgSendClass<id>(cls, CV_SELECTOR("sharedStatusBarController"));
    objc_msgSend(bar, CV_SELECTOR("setIsLockVisible:isTimeVisible:"), lockVisible, timeVisible);
}

bool isUnlockBar(const UIView& view) {
    static const Class awayLockBar = objc_getClass("SBAwayLockBar");
    static const Class bottomLockBar = objc_getClass("TPBottomLockBar");
    return (awayLockBar && view.isKindOfClass(awayLockBar)) ||
           (bottomLockBar && view.isKindOfClass(bottomLockBar));
}

UIImageRef linenImage(CGRect bounds) {
    return objc_msgSendClass<UIImageRef>(objc_getClass("SBLinenView"),
                                         CV_SELECTOR("squareImageForBounds:"), bounds);
}

}  // namespace SpringBoardCalls
