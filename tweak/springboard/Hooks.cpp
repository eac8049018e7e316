// The twenty replacements of SpringBoard's methods, installed when the library loads: each
// reports a lock-screen event to the session controller (or applies a lock-screen chrome rule)
// and calls SpringBoard's own implementation, saved at installation.

#include "platform/runtime/Substrate.h"
#include "platform/runtime/objc.h"
#include "platform/uikit/UITouchSet.h"
#include "tweak/session/CVAwayController.h"
#include "tweak/session/SpringBoardCalls.h"
#include "tweak/springboard/LockScreenChrome.h"
#include "tweak/springboard/UIImageBelowLockScreen.h"

#include <vector>

namespace {

CVAwayController& controller() { return CVAwayController::sharedCVAwayController(); }

using TouchesIMP = void (*)(id, SEL, const UITouchSet*, UIEvent*);
using BoolIMP = void (*)(id, SEL, bool);
using PlainIMP = void (*)(id, SEL);
using ObjectIMP = void (*)(id, SEL, id);
using InitIMP = id (*)(id, SEL);
using InitWithFrameIMP = id (*)(id, SEL, CGRect);
using UnlockRoutineIMP = void (*)(id, SEL, bool, int, bool, bool);
using StatusBarIMP = void (*)(id, SEL, bool, bool);

// One saved slot per row, filled at installation and never changed after.
struct Saved {
    TouchesIMP touchesBegan, touchesMoved, touchesEnded;
    BoolIMP setDimmed;
    PlainIMP startAnimations, alertDisplayBecameVisible;
    UnlockRoutineIMP unlockRoutine;
    BoolIMP dismissCameraAnimated;
    PlainIMP activateCamera;
    ObjectIMP pluginFullscreenNotification;
    PlainIMP didFinishAnimatingOut;
    InitIMP springBoardInit;
    ObjectIMP lockButtonDown;
    PlainIMP autoLock;
    BoolIMP clockSetHidden;
    InitWithFrameIMP dateViewInitWithFrame;
    BoolIMP setIsShowingControls;
    StatusBarIMP setIsLockVisible;
    PlainIMP deviceUnlockCanceled, deviceUnlockSucceeded;
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

struct HookRow {
    const char* cls;
    const char* selector;
    IMP replacement;
    void* slot;
};

template <typename Function, typename Slot>
HookRow row(const char* cls, const char* selector, Function replacement, Slot* slot) {
    return {cls, selector, imp_cast(replacement), slot};
}

// The rows in the order of installation. Made on demand: the installation runs among the
// library's load-time routines, before a table with dynamic initialisers would be filled.
std::vector<HookRow> hookTable() {
    return {
    row("SBAwayView", "touchesBegan:withEvent:", &touchesBegan, &saved.touchesBegan),
    row("SBAwayView", "touchesMoved:withEvent:", &touchesMoved, &saved.touchesMoved),
    row("SBAwayView", "touchesEnded:withEvent:", &touchesEnded, &saved.touchesEnded),
    row("SBAwayView", "setDimmed:", &setDimmed, &saved.setDimmed),
    row("SBAwayView", "startAnimations", &startAnimations, &saved.startAnimations),
    row("SBAlertView", "alertDisplayBecameVisible", &alertDisplayBecameVisible,
        &saved.alertDisplayBecameVisible),
    row("SBAwayController", "_unlockWithSound:unlockSource:isAutoUnlock:bypassPinLock:",
        &unlockRoutine, &saved.unlockRoutine),
    row("SBAwayController", "dismissCameraAnimated:", &dismissCameraAnimated,
        &saved.dismissCameraAnimated),
    row("SBAwayController", "activateCamera", &activateCamera, &saved.activateCamera),
    row("SBAwayController", "pluginFullscreenNotification:", &pluginFullscreenNotification,
        &saved.pluginFullscreenNotification),
    row("SBAwayController", "didFinishAnimatingOut", &didFinishAnimatingOut,
        &saved.didFinishAnimatingOut),
    row("SpringBoard", "init", &springBoardInit, &saved.springBoardInit),
    row("SpringBoard", "lockButtonDown:", &lockButtonDown, &saved.lockButtonDown),
    row("SpringBoard", "autoLock", &autoLock, &saved.autoLock),
    row("TPLCDView", "setHidden:", &clockSetHidden, &saved.clockSetHidden),
    row("SBAwayDateView", "initWithFrame:", &dateViewInitWithFrame, &saved.dateViewInitWithFrame),
    row("SBAwayDateView", "setIsShowingControls:", &setIsShowingControls,
        &saved.setIsShowingControls),
    row("SBStatusBarController", "setIsLockVisible:isTimeVisible:", &setIsLockVisible,
        &saved.setIsLockVisible),
    row("SBSlidingAlertDisplay", "deviceUnlockCanceled", &deviceUnlockCanceled,
        &saved.deviceUnlockCanceled),
    row("SBSlidingAlertDisplay", "deviceUnlockSucceeded", &deviceUnlockSucceeded,
        &saved.deviceUnlockSucceeded),
    };
}

// Runs once when the substrate loader loads the library, before SpringBoard's application
// object exists. A row whose class or selector this SpringBoard lacks is skipped: its slot
// would stay empty and the replacement would have nothing to call.
[[gnu::constructor]] void installHooks() {
    for (const auto& hook : hookTable()) {
        const Class cls = objc_getClass(hook.cls);
        const SEL selector = sel_registerName(hook.selector);
        if (!cls || !class_respondsToSelector(cls, selector)) continue;
        MSHookMessageEx(cls, selector, hook.replacement, static_cast<IMP*>(hook.slot));
    }
}

}  // namespace
