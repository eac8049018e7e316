// The twenty replacements of SpringBoard's methods, installed when the library loads: each
// reports a lock-screen event to the session controller (or applies a lock-screen chrome rule)
// and calls SpringBoard's own implementation, saved at installation.

#include "platform/runtime/Substrate.h"
#include "platform/uikit/UITouchSet.h"
#include "tweak/session/CVAwayController.h"
#include "tweak/session/SpringBoardCalls.h"
#include "tweak/springboard/LockScreenChrome.h"
#include "platform/springboard/SpringBoardInterface.h"
#include "tweak/springboard/UIImageBelowLockScreen.h"

namespace {

CVAwayController& controller() { return CVAwayController::sharedCVAwayController(); }

template <typename Signature>
using ImplementationOf = typename Message<Signature>::Implementation;

// One saved slot per row, filled at installation and never changed after.
struct Saved {
    UITouchesMessage::Implementation touchesBegan, touchesMoved, touchesEnded;
    ImplementationOf<void(bool)> setDimmed;
    ImplementationOf<void()> startAnimations, alertDisplayBecameVisible;
    ImplementationOf<void(bool, int, bool, bool)> unlockRoutine;
    ImplementationOf<void(bool)> dismissCameraAnimated;
    ImplementationOf<void()> activateCamera;
    ImplementationOf<void(id)> pluginFullscreenNotification;
    ImplementationOf<void()> didFinishAnimatingOut;
    ImplementationOf<id()> springBoardInit;
    ImplementationOf<void(id)> lockButtonDown;
    ImplementationOf<void()> autoLock;
    ImplementationOf<void(bool)> clockSetHidden;
    ImplementationOf<id(CGRect)> dateViewInitWithFrame;
    ImplementationOf<void(bool)> setIsShowingControls;
    ImplementationOf<void(bool, bool)> setIsLockVisible;
    ImplementationOf<void()> deviceUnlockCanceled, deviceUnlockSucceeded;
} saved;

void touchesBegan(id self, SEL cmd, const UITouchSet* touches, UIEvent* event) {
    SpringBoardCalls::restartDimTimer(10.0f);
    saved.touchesBegan(self, cmd, touches, event);
}

void touchesMoved(id self, SEL cmd, const UITouchSet* touches, UIEvent* event) {
    SpringBoardCalls::restartDimTimer(10.0f);
    saved.touchesMoved(self, cmd, touches, event);
}

void touchesEnded(id self, SEL cmd, const UITouchSet* touches, UIEvent* event) {
    saved.touchesEnded(self, cmd, touches, event);
}

void setDimmed(id self, SEL cmd, bool dimmed) {
    if (dimmed) {
        controller().lockscreenDimmed();
    } else {
        controller().lockscreenWillDisplay();
    }
    saved.setDimmed(self, cmd, dimmed);
}

void startAnimations(id self, SEL cmd) {
    if (CVSession().firstUnlock) {
        controller().lockscreenWillDisplay();
        CVSession().firstUnlock = false;
    }
    saved.startAnimations(self, cmd);
}

void alertDisplayBecameVisible(id self, SEL cmd) {
    controller().sbAlertDisplayed();
    saved.alertDisplayBecameVisible(self, cmd);
}

// SpringBoard's internal unlock routine gets YES as its automatic-unlock argument exactly when
// the controller itself asked for the unlock, whatever SpringBoard passed.
void unlockRoutine(id self, SEL cmd, bool sound, int source, bool, bool bypassPinLock) {
    saved.unlockRoutine(self, cmd, sound, source, CVAwayController::autoUnlock(), bypassPinLock);
    controller().lockscreenAnimatedOut();
}

void dismissCameraAnimated(id self, SEL cmd, bool animated) {
    controller().cameraDeactivated();
    saved.dismissCameraAnimated(self, cmd, animated);
}

void activateCamera(id self, SEL cmd) {
    controller().cameraActivated();
    saved.activateCamera(self, cmd);
}

void pluginFullscreenNotification(id self, SEL cmd, id notification) {
    controller().sbAlertDisplayed();
    saved.pluginFullscreenNotification(self, cmd, notification);
}

void didFinishAnimatingOut(id self, SEL cmd) {
    controller().lockscreenAnimatedOut();
    saved.didFinishAnimatingOut(self, cmd);
}

id springBoardInit(id self, SEL cmd) {
    CVSession().firstUnlock = true;
    controller().springBoardInitialized();
    return saved.springBoardInit(self, cmd);
}

// The picture is taken before SpringBoard's own lock code runs, while the screen still shows
// the application or the home screen, and only when the device is not locked yet.
void takeSnapshotIfUnlocked() {
    if (SpringBoardCalls::isLocked(SpringBoardCalls::sharedAwayController())) return;
    const UIImageRef snapshot = UIImageBelowLockScreen();
    controller().screenWillDimWithSnapshot(snapshot);
}

void lockButtonDown(id self, SEL cmd, id event) {
    takeSnapshotIfUnlocked();
    saved.lockButtonDown(self, cmd, event);
}

void autoLock(id self, SEL cmd) {
    takeSnapshotIfUnlocked();
    saved.autoLock(self, cmd);
}

void clockSetHidden(id self, SEL cmd, bool hidden) {
    saved.clockSetHidden(self, cmd, clockViewHiddenFlag(self, hidden));
}

id dateViewInitWithFrame(id self, SEL cmd, CGRect frame) {
    const id view = saved.dateViewInitWithFrame(self, cmd, frame);
    showTopBarIfClockHidden();
    return view;
}

void setIsShowingControls(id self, SEL cmd, bool showing) {
    saved.setIsShowingControls(self, cmd, showing);
    showTopBarIfClockHidden();
}

void setIsLockVisible(id self, SEL cmd, bool lockVisible, bool timeVisible) {
    statusBarFlags(lockVisible, timeVisible);
    saved.setIsLockVisible(self, cmd, lockVisible, timeVisible);
}

void deviceUnlockCanceled(id self, SEL cmd) {
    controller().lockscreenWillDisplay();
    saved.deviceUnlockCanceled(self, cmd);
}

void deviceUnlockSucceeded(id self, SEL cmd) {
    if (CVAwayController::deviceIsPassworded()) controller().passcodeSucceeded();
    saved.deviceUnlockSucceeded(self, cmd);
}

// Runs once when the substrate loader loads the library, before SpringBoard's application
// object exists, in the order of SB::forEachReplaceableMethod. A row whose class or selector
// this SpringBoard lacks is skipped: its slot stays empty and SpringBoard never sends the message
// that would call it.
[[gnu::constructor]] void installHooks() {
    namespace row = SB::replaceable;
    MSHookMethod(row::awayViewTouchesBegan, &touchesBegan, &saved.touchesBegan);
    MSHookMethod(row::awayViewTouchesMoved, &touchesMoved, &saved.touchesMoved);
    MSHookMethod(row::awayViewTouchesEnded, &touchesEnded, &saved.touchesEnded);
    MSHookMethod(row::awayViewSetDimmed, &setDimmed, &saved.setDimmed);
    MSHookMethod(row::awayViewStartAnimations, &startAnimations, &saved.startAnimations);
    MSHookMethod(row::alertDisplayBecameVisible, &alertDisplayBecameVisible,
                 &saved.alertDisplayBecameVisible);
    MSHookMethod(row::unlockRoutine, &unlockRoutine, &saved.unlockRoutine);
    MSHookMethod(row::dismissCameraAnimated, &dismissCameraAnimated, &saved.dismissCameraAnimated);
    MSHookMethod(row::activateCamera, &activateCamera, &saved.activateCamera);
    MSHookMethod(row::pluginFullscreenNotification, &pluginFullscreenNotification,
                 &saved.pluginFullscreenNotification);
    MSHookMethod(row::didFinishAnimatingOut, &didFinishAnimatingOut, &saved.didFinishAnimatingOut);
    MSHookMethod(row::springBoardInit, &springBoardInit, &saved.springBoardInit);
    MSHookMethod(row::lockButtonDown, &lockButtonDown, &saved.lockButtonDown);
    MSHookMethod(row::autoLock, &autoLock, &saved.autoLock);
    MSHookMethod(row::clockSetHidden, &clockSetHidden, &saved.clockSetHidden);
    MSHookMethod(row::dateViewInitWithFrame, &dateViewInitWithFrame, &saved.dateViewInitWithFrame);
    MSHookMethod(row::dateViewSetIsShowingControls, &setIsShowingControls,
                 &saved.setIsShowingControls);
    MSHookMethod(row::statusBarSetIsLockVisible, &setIsLockVisible, &saved.setIsLockVisible);
    MSHookMethod(row::deviceUnlockCanceled, &deviceUnlockCanceled, &saved.deviceUnlockCanceled);
    MSHookMethod(row::deviceUnlockSucceeded, &deviceUnlockSucceeded, &saved.deviceUnlockSucceeded);
}

}  // namespace
