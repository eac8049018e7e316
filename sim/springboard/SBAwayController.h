#pragma once

// SpringBoard's lock controller: whether the device is locked, the lock-screen window and view,
// the dim timer, the passcode entry, alerts, the camera, media controls and syncing, and the
// unlock requests with the internal unlock routine.

#include "platform/foundation/RunLoop.h"
#include "platform/runtime/NSObject.h"
#include "platform/uikit/UIWindow.h"
#include "sim/springboard/SBAwayView.h"

#include <memory>

class SBSlidingAlertDisplay;

class SBAwayController : public NSObject {
public:
    CV_DECLARE_CLASS()

    // The one lock controller, made on first use.
    static SBAwayController* sharedAwayController();
    // The lock controller if it has been made, else nil.
    static SBAwayController* sharedAwayControllerIfExists();

    SBAwayController();

    bool isLocked() const { return locked_; }
    SBAwayView* awayView() const { return awayView_.get(); }
    bool isShowingMediaControls() const { return mediaControls_; }
    bool isDimmed() const { return !awayView_ || awayView_->isDimmed(); }

    // Sent through the method table, each as SpringBoard would.
    bool isPasswordProtected();
    bool isSyncing();
    void unlockWithSound(bool sound);
    void unlockWithSound(bool sound, bool isAutoUnlock);
    void restartDimTimer(float seconds);
    void _unlockWithSound(bool sound, int unlockSource, bool isAutoUnlock, bool bypassPinLock);
    void dismissCameraAnimated(bool animated);
    void activateCamera();
    void pluginFullscreenNotification(id notification);
    void didFinishAnimatingOut();

    // What the device does, driven by the host.
    void setPasscode(bool hasPasscode) { passcode_ = hasPasscode; }
    bool hasPasscode() const { return passcode_; }
    // Locks the device: the lock screen goes up, dark.
    void lock();
    // The lock screen shown and lit, as at boot (no setDimmed:).
    void showLitAtBoot();
    // setDimmed: NO then the lock screen's appearance; setDimmed: YES.
    void wake();
    void dim();
    void setShowingMediaControls(bool showing);
    void setSyncing(bool syncing);
    void showAlert();
    void enterPasscode();
    void cancelPasscode();
    bool isPasscodeShowing() const { return passcodeDisplay_ != nullptr; }
    // The passcode entry while it shows, else nil.
    SBSlidingAlertDisplay* passcodeDisplay() const { return passcodeDisplay_.get(); }
    // Called by the lock-screen view when SpringBoard's own setDimmed: ran.
    void awayViewDimmedChanged(bool dimmed);

private:
    static bool isPasswordProtectedImplementation(id self, SEL cmd);
    static bool isSyncingImplementation(id self, SEL cmd);
    static void unlockWithSoundImplementation(id self, SEL cmd, bool sound);
    static void unlockWithSoundAutoImplementation(id self, SEL cmd, bool sound, bool isAutoUnlock);
    static void restartDimTimerImplementation(id self, SEL cmd, float seconds);
    static void unlockRoutineImplementation(id self, SEL cmd, bool sound, int source,
                                            bool isAutoUnlock, bool bypassPinLock);
    static void dismissCameraImplementation(id self, SEL cmd, bool animated);
    static void activateCameraImplementation(id self, SEL cmd);
    static void pluginFullscreenImplementation(id self, SEL cmd, id notification);
    static void didFinishAnimatingOutImplementation(id self, SEL cmd);

    // The lock-screen window and view.
    void buildLockScreen();
    // The unlock request both forms share: the passcode entry first on a passcode device.
    void requestUnlock(bool sound, bool isAutoUnlock);
    // The lock screen has come into view lit: its animations start and its clock is shown.
    void appearLit();
    void updateStatusBar();
    void showClock();
    void startAutoLockTimer();
    void passcodeFinished(bool success);
    friend class SBSlidingAlertDisplay;

    std::shared_ptr<UIWindow> window_;
    std::shared_ptr<SBAwayView> awayView_;
    std::shared_ptr<UIView> camera_;
    std::shared_ptr<UIWindow> alertWindow_;
    std::shared_ptr<SBSlidingAlertDisplay> passcodeDisplay_;
    std::shared_ptr<UIWindow> passcodeWindow_;
    RunLoop::TimerId dimTimer_ = 0;
    RunLoop::TimerId autoLockTimer_ = 0;
    bool locked_ = false;
    bool passcode_ = false;
    bool mediaControls_ = false;
    bool syncing_ = false;
    bool unlockingOut_ = false;
};
