#include "sim/springboard/SBAwayController.h"

#include "platform/uikit/UIApplication.h"
#include "platform/uikit/UIScreen.h"
#include "sim/springboard/SBSlidingAlertDisplay.h"
#include "sim/springboard/SBStatusBarController.h"
#include "sim/springboard/SpringBoard.h"
#include "sim/springboard/SpringBoardArtwork.h"
#include "sim/springboard/SpringBoardEvents.h"
#include "platform/springboard/SpringBoardInterface.h"

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace {

constexpr float kDimSeconds = 8;         // the lock screen stays lit this long untouched
constexpr double kAutoLockSeconds = 60;  // an unlocked device locks itself after this
constexpr double kAnimateOutSeconds = 0.3;
constexpr UIWindowLevel kLockScreenLevel = 500;
constexpr UIWindowLevel kPasscodeLevel = 1500;

SBAwayController* shared = nullptr;

// Whether SpringBoard still has `message` (a script may have taken it away).
template <typename Message>
bool answers(const NSObject* object, const Message& message) {
    return message.isAnsweredBy(object);
}

CGRect screenBounds() { return UIScreen::mainScreen()->bounds(); }

std::shared_ptr<UIWindow> makeWindow(UIWindowLevel level) {
    auto window = UIView::create<UIWindow>(screenBounds());
    window->setWindowLevel(level);
    return window;
}

// Once the lock screen has gone and everything it held is let go (after this turn of the run
// loop), the memory of its pictures, megabytes on a large screen, is given back to the system: a
// SpringBoard that has locked and unlocked for days then holds what one that has just started
// holds, however the allocator happened to lay its freed blocks out.
void giveBackFreedMemory() {
#ifdef __GLIBC__
    RunLoop::main().perform([] { ::malloc_trim(0); });
#endif
}

}  // namespace

Class SBAwayController::class_() {
    static const Class cls = objc_defineClass(
        "SBAwayController", NSObject::class_(),
        {SB::isPasswordProtected.implementedBy(&isPasswordProtectedImplementation),
         SB::isSyncing.implementedBy(&isSyncingImplementation),
         SB::unlockWithSound.implementedBy(&unlockWithSoundImplementation),
         SB::unlockWithSoundIsAutoUnlock.implementedBy(&unlockWithSoundAutoImplementation),
         SB::restartDimTimer.implementedBy(&restartDimTimerImplementation),
         SB::_unlockWithSound.implementedBy(&unlockRoutineImplementation),
         SB::dismissCameraAnimated.implementedBy(&dismissCameraImplementation),
         SB::activateCamera.implementedBy(&activateCameraImplementation),
         SB::pluginFullscreenNotification.implementedBy(&pluginFullscreenImplementation),
         SB::didFinishAnimatingOut.implementedBy(&didFinishAnimatingOutImplementation),
         // What a tweak asks of the lock controller.
         SB::sharedAwayController.implementedBy([](Class, SEL) -> id { return sharedAwayController(); }),
         SB::sharedAwayControllerIfExists.implementedBy([](Class, SEL) -> id { return shared; }),
         SB::isLocked.implementedBy(
             [](id self, SEL) { return static_cast<SBAwayController*>(self)->isLocked(); }),
         SB::awayView.implementedBy(
             [](id self, SEL) -> id { return static_cast<SBAwayController*>(self)->awayView(); }),
         SB::isShowingMediaControls.implementedBy([](id self, SEL) {
             return static_cast<SBAwayController*>(self)->isShowingMediaControls();
         })});
    return cls;
}

SBAwayController* SBAwayController::sharedAwayController() {
    if (!shared) {
        // Shared before the lock screen is built: the views being made may already ask for it.
        shared = new SBAwayController;  // lives as long as SpringBoard
        shared->buildLockScreen();
    }
    return shared;
}

SBAwayController* SBAwayController::sharedAwayControllerIfExists() { return shared; }

SBAwayController::SBAwayController() : NSObject(class_()) {}

void SBAwayController::buildLockScreen() {
    window_ = makeWindow(kLockScreenLevel);
    awayView_ = UIView::create<SBAwayView>(screenBounds());
    awayView_->build();
    window_->addSubview(awayView_);
}

// ---- The messages of the method table.

bool SBAwayController::isPasswordProtected() { return SB::isPasswordProtected.send(this); }
bool SBAwayController::isSyncing() { return SB::isSyncing.send(this); }
void SBAwayController::unlockWithSound(bool sound) { SB::unlockWithSound.send(this, sound); }
void SBAwayController::unlockWithSound(bool sound, bool isAutoUnlock) {
    SB::unlockWithSoundIsAutoUnlock.send(this, sound, isAutoUnlock);
}
void SBAwayController::restartDimTimer(float seconds) { SB::restartDimTimer.send(this, seconds); }
void SBAwayController::_unlockWithSound(bool sound, int source, bool isAutoUnlock, bool bypass) {
    SB::_unlockWithSound.send(this, sound, source, isAutoUnlock, bypass);
}
void SBAwayController::dismissCameraAnimated(bool animated) {
    SB::dismissCameraAnimated.send(this, animated);
}
void SBAwayController::activateCamera() { SB::activateCamera.send(this); }
void SBAwayController::pluginFullscreenNotification(id notification) {
    SB::pluginFullscreenNotification.send(this, notification);
}
void SBAwayController::didFinishAnimatingOut() { SB::didFinishAnimatingOut.send(this); }

// ---- SpringBoard's own implementations.

bool SBAwayController::isPasswordProtectedImplementation(id self, SEL) {
    return static_cast<SBAwayController*>(self)->passcode_;
}

bool SBAwayController::isSyncingImplementation(id self, SEL) {
    return static_cast<SBAwayController*>(self)->syncing_;
}

void SBAwayController::unlockWithSoundImplementation(id self, SEL, bool sound) {
    SpringBoardEvents::emit("unlock-request", {{"selector", "unlockWithSound:"}, {"sound", sound}});
    static_cast<SBAwayController*>(self)->requestUnlock(sound, false);
}

void SBAwayController::unlockWithSoundAutoImplementation(id self, SEL, bool sound,
                                                         bool isAutoUnlock) {
    SpringBoardEvents::emit("unlock-request", {{"selector", "unlockWithSound:isAutoUnlock:"},
                                               {"sound", sound},
                                               {"autoUnlock", isAutoUnlock}});
    static_cast<SBAwayController*>(self)->requestUnlock(sound, isAutoUnlock);
}

void SBAwayController::requestUnlock(bool sound, bool isAutoUnlock) {
    if (!locked_ || unlockingOut_) return;
    if (passcode_) {
        if (passcodeDisplay_) return;
        passcodeWindow_ = makeWindow(kPasscodeLevel);
        passcodeDisplay_ = UIView::create<SBSlidingAlertDisplay>(screenBounds());
        passcodeDisplay_->setImage(
            SpringBoardArtwork::passcodeEntry(screenBounds().size, UIScreen::mainScreen()->scale()));
        passcodeWindow_->addSubview(passcodeDisplay_);
        UIApplication::sharedApplication()->addWindow(passcodeWindow_);
        SpringBoardEvents::emit("passcode-shown");
        return;
    }
    if (answers(this, SB::_unlockWithSound)) {
        _unlockWithSound(sound, 0, isAutoUnlock, false);
    }
}

void SBAwayController::passcodeFinished(bool success) {
    if (!passcodeDisplay_) return;
    UIApplication::sharedApplication()->removeWindow(passcodeWindow_.get());
    passcodeDisplay_.reset();
    passcodeWindow_.reset();
    SpringBoardEvents::emit("passcode-dismissed", {{"success", success}});
    if (!success) {
        appearLit();
        return;
    }
    if (answers(this, SB::_unlockWithSound)) {
        _unlockWithSound(false, 0, false, true);
    }
}

void SBAwayController::restartDimTimerImplementation(id self, SEL, float seconds) {
    auto* controller = static_cast<SBAwayController*>(self);
    SpringBoardEvents::emit("dim-timer", {{"seconds", seconds}});
    auto& loop = RunLoop::main();
    loop.cancel(controller->dimTimer_);
    controller->dimTimer_ = 0;
    if (!controller->locked_ || controller->isDimmed() || !std::isfinite(seconds) || seconds < 0) {
        return;
    }
    controller->dimTimer_ = loop.scheduleAfter(clockTimeFromSeconds(seconds), [controller] {
        controller->dimTimer_ = 0;
        if (controller->locked_ && !controller->passcodeDisplay_) controller->dim();
    });
}

void SBAwayController::unlockRoutineImplementation(id self, SEL, bool, int, bool isAutoUnlock,
                                                   bool) {
    auto* controller = static_cast<SBAwayController*>(self);
    SpringBoardEvents::emit("unlock-routine", {{"autoUnlock", isAutoUnlock}});
    if (!controller->locked_ || controller->unlockingOut_) return;
    controller->unlockingOut_ = true;
    RunLoop::main().cancel(controller->dimTimer_);
    if (answers(SBStatusBarController::sharedStatusBarController(), SB::setIsLockVisible)) {
        SBStatusBarController::sharedStatusBarController()->setIsLockVisible(false, true);
    }
    // The lock screen fades away, or goes at once for an automatic unlock, whose requester has
    // already animated it out of sight; SpringBoard learns the end through
    // didFinishAnimatingOut.
    UIWindow* window = controller->window_.get();
    const auto finished = [controller](bool) {
        if (answers(controller, SB::didFinishAnimatingOut)) controller->didFinishAnimatingOut();
    };
    if (isAutoUnlock) {
        window->setAlpha(0);
        RunLoop::main().scheduleAfter(ClockTime::zero(), [finished] { finished(true); });
        return;
    }
    UIView::animateWithDuration(kAnimateOutSeconds, [window] { window->setAlpha(0); }, finished);
}

void SBAwayController::didFinishAnimatingOutImplementation(id self, SEL) {
    auto* controller = static_cast<SBAwayController*>(self);
    if (!controller->locked_) return;
    controller->locked_ = false;
    controller->unlockingOut_ = false;
    auto* app = UIApplication::sharedApplication();
    app->removeWindow(controller->window_.get());
    if (controller->alertWindow_) app->removeWindow(controller->alertWindow_.get());
    controller->alertWindow_.reset();
    controller->camera_.reset();
    controller->window_->setAlpha(1);
    SpringBoardEvents::emit("unlocked");
    controller->startAutoLockTimer();
    giveBackFreedMemory();
}

void SBAwayController::activateCameraImplementation(id self, SEL) {
    auto* controller = static_cast<SBAwayController*>(self);
    if (!controller->locked_ || controller->camera_) return;
    controller->camera_ = UIView::create<UIImageView>(screenBounds());
    static_cast<UIImageView*>(controller->camera_.get())
        ->setImage(SpringBoardArtwork::camera(screenBounds().size, UIScreen::mainScreen()->scale()));
    controller->camera_->setUserInteractionEnabled(true);
    controller->window_->addSubview(controller->camera_);
}

void SBAwayController::dismissCameraImplementation(id self, SEL, bool) {
    auto* controller = static_cast<SBAwayController*>(self);
    if (!controller->camera_) return;
    controller->camera_->removeFromSuperview();
    controller->camera_.reset();
}

void SBAwayController::pluginFullscreenImplementation(id, SEL, id) {}

// ---- What the host drives.

void SBAwayController::lock() {
    if (locked_) return;
    RunLoop::main().cancel(autoLockTimer_);
    autoLockTimer_ = 0;
    locked_ = true;
    window_->setAlpha(1);
    UIApplication::sharedApplication()->addWindow(window_);
    SpringBoardEvents::emit("locked");
    updateStatusBar();
    dim();
}

void SBAwayController::showLitAtBoot() {
    locked_ = true;
    UIApplication::sharedApplication()->addWindow(window_);
    SpringBoardEvents::emit("locked");
    awayView_->showLitAtBoot();
    appearLit();
}

void SBAwayController::wake() {
    if (!locked_ || !isDimmed()) return;
    if (answers(awayView_.get(), SB::setDimmed)) awayView_->setDimmed(false);
    appearLit();
}

void SBAwayController::dim() {
    if (!locked_ || isDimmed()) return;
    if (answers(awayView_.get(), SB::setDimmed)) awayView_->setDimmed(true);
}

void SBAwayController::awayViewDimmedChanged(bool dimmed) {
    if (dimmed) {
        RunLoop::main().cancel(dimTimer_);
        dimTimer_ = 0;
    }
}

void SBAwayController::appearLit() {
    if (answers(awayView_.get(), SB::startAnimations)) awayView_->startAnimations();
    showClock();
    updateStatusBar();
    if (answers(this, SB::restartDimTimer)) restartDimTimer(kDimSeconds);
}

void SBAwayController::showClock() {
    TPLCDView* lcd = awayView_->dateView()->lcd();
    if (syncing_ && !mediaControls_) lcd->show(TPLCDView::Content::Syncing);
    if (answers(lcd, UIViewMessage::setHidden)) lcd->setHidden(false);
}

void SBAwayController::updateStatusBar() {
    auto* bar = SBStatusBarController::sharedStatusBarController();
    if (!answers(bar, SB::setIsLockVisible)) return;
    if (locked_) {
        bar->setIsLockVisible(!mediaControls_, mediaControls_);
    } else {
        bar->setIsLockVisible(false, true);
    }
}

void SBAwayController::setShowingMediaControls(bool showing) {
    if (mediaControls_ == showing) return;
    mediaControls_ = showing;
    if (answers(awayView_->dateView(), SB::setIsShowingControls)) {
        awayView_->dateView()->setIsShowingControls(showing);
    }
    if (locked_) {
        showClock();
        updateStatusBar();
    }
}

void SBAwayController::setSyncing(bool syncing) {
    if (syncing_ == syncing) return;
    syncing_ = syncing;
    TPLCDView* lcd = awayView_->dateView()->lcd();
    if (!mediaControls_) lcd->show(syncing ? TPLCDView::Content::Syncing : TPLCDView::Content::Clock);
    if (locked_) showClock();
}

void SBAwayController::showAlert() {
    if (alertWindow_) return;
    alertWindow_ = makeWindow(UIWindowLevelAlert);
    const CGRect b = screenBounds();
    const CGSize size = CGSizeMake(std::fmin(280.0f, b.size.width - 20), 140);
    auto alert = UIView::create<SBAlertView>(
        CGRectMake((b.size.width - size.width) / 2, (b.size.height - size.height) / 2, size.width,
                   size.height));
    alert->setImage(SpringBoardArtwork::alertBox("Reminder", "Water the plants", size,
                                                 UIScreen::mainScreen()->scale()));
    alertWindow_->addSubview(alert);
    UIApplication::sharedApplication()->addWindow(alertWindow_);
    if (answers(alert.get(), SB::alertDisplayBecameVisible)) alert->alertDisplayBecameVisible();
}

void SBAwayController::enterPasscode() {
    if (passcodeDisplay_ && answers(passcodeDisplay_.get(), SB::deviceUnlockSucceeded)) {
        passcodeDisplay_->deviceUnlockSucceeded();
    }
}

void SBAwayController::cancelPasscode() {
    if (passcodeDisplay_ && answers(passcodeDisplay_.get(), SB::deviceUnlockCanceled)) {
        passcodeDisplay_->deviceUnlockCanceled();
    }
}

void SBAwayController::startAutoLockTimer() {
    auto& loop = RunLoop::main();
    loop.cancel(autoLockTimer_);
    autoLockTimer_ = loop.scheduleAfter(clockTimeFromSeconds(kAutoLockSeconds), [this] {
        autoLockTimer_ = 0;
        SpringBoard::shared()->sendAutoLock();
    });
}
