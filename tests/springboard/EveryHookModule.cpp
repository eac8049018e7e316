// A module that replaces all twenty methods a tweak may replace, logs the class and selector of
// each call, and passes the call on unchanged: the trace then shows when SpringBoard sends each.

#include "platform/foundation/NSLog.h"
#include "platform/graphics/CGGeometry.h"
#include "platform/runtime/Substrate.h"
#include "platform/runtime/objc.h"

#include <string>

class UITouchSet;
class UIEvent;

namespace {

// One saved slot and one replacement per row, for each shape of arguments.
#define HOOK(slot, Return, ...)                                                              \
    using slot##IMP = Return (*)(id, SEL, ##__VA_ARGS__);                                    \
    slot##IMP slot = nullptr;

HOOK(touchesBegan, void, const UITouchSet*, UIEvent*)
HOOK(touchesMoved, void, const UITouchSet*, UIEvent*)
HOOK(touchesEnded, void, const UITouchSet*, UIEvent*)
HOOK(setDimmed, void, bool)
HOOK(startAnimations, void)
HOOK(alertVisible, void)
HOOK(unlockRoutine, void, bool, int, bool, bool)
HOOK(dismissCamera, void, bool)
HOOK(activateCamera, void)
HOOK(pluginFullscreen, void, id)
HOOK(finishedOut, void)
HOOK(springBoardInit, id)
HOOK(lockButton, void, id)
HOOK(autoLock, void)
HOOK(lcdSetHidden, void, bool)
HOOK(dateInit, id, CGRect)
HOOK(dateControls, void, bool)
HOOK(statusBar, void, bool, bool)
HOOK(passcodeCanceled, void)
HOOK(passcodeSucceeded, void)

void note(const char* cls, SEL cmd) { NSLog(std::string("hook ") + cls + " " + sel_getName(cmd)); }

void install(const char* cls, const char* selector, IMP replacement, void* slot) {
    MSHookMessageEx(objc_getClass(cls), sel_registerName(selector), replacement,
                    reinterpret_cast<IMP*>(slot));
}

[[gnu::constructor]] void installHooks() {
    install("SBAwayView", "touchesBegan:withEvent:",
            imp_cast(+[](id s, SEL c, const UITouchSet* t, UIEvent* e) { note("SBAwayView", c); touchesBegan(s, c, t, e); }), &touchesBegan);
    install("SBAwayView", "touchesMoved:withEvent:",
            imp_cast(+[](id s, SEL c, const UITouchSet* t, UIEvent* e) { note("SBAwayView", c); touchesMoved(s, c, t, e); }), &touchesMoved);
    install("SBAwayView", "touchesEnded:withEvent:",
            imp_cast(+[](id s, SEL c, const UITouchSet* t, UIEvent* e) { note("SBAwayView", c); touchesEnded(s, c, t, e); }), &touchesEnded);
    install("SBAwayView", "setDimmed:",
            imp_cast(+[](id s, SEL c, bool d) { note("SBAwayView", c); setDimmed(s, c, d); }), &setDimmed);
    install("SBAwayView", "startAnimations",
            imp_cast(+[](id s, SEL c) { note("SBAwayView", c); startAnimations(s, c); }), &startAnimations);
    install("SBAlertView", "alertDisplayBecameVisible",
            imp_cast(+[](id s, SEL c) { note("SBAlertView", c); alertVisible(s, c); }), &alertVisible);
    install("SBAwayController", "_unlockWithSound:unlockSource:isAutoUnlock:bypassPinLock:",
            imp_cast(+[](id s, SEL c, bool a, int b, bool d, bool e) { note("SBAwayController", c); unlockRoutine(s, c, a, b, d, e); }), &unlockRoutine);
    install("SBAwayController", "dismissCameraAnimated:",
            imp_cast(+[](id s, SEL c, bool a) { note("SBAwayController", c); dismissCamera(s, c, a); }), &dismissCamera);
    install("SBAwayController", "activateCamera",
            imp_cast(+[](id s, SEL c) { note("SBAwayController", c); activateCamera(s, c); }), &activateCamera);
    install("SBAwayController", "pluginFullscreenNotification:",
            imp_cast(+[](id s, SEL c, id n) { note("SBAwayController", c); pluginFullscreen(s, c, n); }), &pluginFullscreen);
    install("SBAwayController", "didFinishAnimatingOut",
            imp_cast(+[](id s, SEL c) { note("SBAwayController", c); finishedOut(s, c); }), &finishedOut);
    install("SpringBoard", "init",
            imp_cast(+[](id s, SEL c) { note("SpringBoard", c); return springBoardInit(s, c); }), &springBoardInit);
    install("SpringBoard", "lockButtonDown:",
            imp_cast(+[](id s, SEL c, id e) { note("SpringBoard", c); lockButton(s, c, e); }), &lockButton);
    install("SpringBoard", "autoLock",
            imp_cast(+[](id s, SEL c) { note("SpringBoard", c); autoLock(s, c); }), &autoLock);
    install("TPLCDView", "setHidden:",
            imp_cast(+[](id s, SEL c, bool h) { note("TPLCDView", c); lcdSetHidden(s, c, h); }), &lcdSetHidden);
    install("SBAwayDateView", "initWithFrame:",
            imp_cast(+[](id s, SEL c, CGRect f) { note("SBAwayDateView", c); return dateInit(s, c, f); }), &dateInit);
    install("SBAwayDateView", "setIsShowingControls:",
            imp_cast(+[](id s, SEL c, bool o) { note("SBAwayDateView", c); dateControls(s, c, o); }), &dateControls);
    install("SBStatusBarController", "setIsLockVisible:isTimeVisible:",
            imp_cast(+[](id s, SEL c, bool l, bool t) { note("SBStatusBarController", c); statusBar(s, c, l, t); }), &statusBar);
    install("SBSlidingAlertDisplay", "deviceUnlockCanceled",
            imp_cast(+[](id s, SEL c) { note("SBSlidingAlertDisplay", c); passcodeCanceled(s, c); }), &passcodeCanceled);
    install("SBSlidingAlertDisplay", "deviceUnlockSucceeded",
            imp_cast(+[](id s, SEL c) { note("SBSlidingAlertDisplay", c); passcodeSucceeded(s, c); }), &passcodeSucceeded);
}

}  // namespace
