#pragma once

// The one unlock session controller: it follows the lock screen's life as SpringBoard reports
// it, builds what the unlock gesture needs in the lock-screen window, tracks the touches, moves
// the lock-screen image and asks SpringBoard to unlock.

#include "platform/graphics/CGGeometry.h"
#include "platform/quartz/CAAnimation.h"
#include "platform/runtime/Message.h"
#include "platform/uikit/UIGestureRecognizer.h"
#include "platform/uikit/UIImage.h"
#include "platform/uikit/UITouchSet.h"
#include "platform/uikit/UIViewAnimation.h"
#include "platform/uikit/UIViewController.h"
#include "tweak/session/CVSessionState.h"
#include "tweak/settings/CVSettings.h"
#include "tweak/views/CVTouchViewDelegate.h"

class CVTouchView;
class UIPinchGestureRecognizer;
class UIRotationGestureRecognizer;
class UIView;
class UIWindow;

// The messages the controller answers through its method table: the did-stop selectors of its
// view animations and the actions of its gesture recognisers.
namespace CVAwayControllerMessage {
inline constinit const UIAnimationDidStopMessage gestureFinishedAnimating{
    "gestureFinishedAnimating:finished:context:"};
inline constinit const UIAnimationDidStopMessage customMovementFinishedAnimatingWithUnlock{
    "customMovementFinishedAnimatingWithUnlock:finished:context:"};
// Also called directly; as a did-stop selector it ignores the animation's arguments.
inline constinit const UIAnimationDidStopMessage unlockWithoutAnimations{"unlockWithoutAnimations"};
inline constinit const UIAnimationDidStopMessage gestureFinishedAnimatingWithUnlock{
    "gestureFinishedAnimatingWithUnlock:finished:context:"};
inline constinit const UIAnimationDidStopMessage moveBadgeBackInPlace{"moveBadgeBackInPlace"};
inline constinit const UIAnimationDidStopMessage switchBadgeBackToAwayView{
    "switchBadgeBackToAwayView"};
inline constinit const UIGestureRecognizerAction onPinch{"onPinch:"};
inline constinit const UIGestureRecognizerAction onRotate{"onRotate:"};
inline constinit const UIGestureRecognizerAction onVaultRotate{"onVaultRotate:"};
}  // namespace CVAwayControllerMessage

class CVAwayController : public UIViewController, public CVTouchViewDelegate {
public:
    CV_DECLARE_CLASS()

    // The one controller, made on first use under a lock; never freed.
    static CVAwayController& sharedCVAwayController();
    // SpringBoard's lock-screen view (awayView of SBAwayController's sharedAwayController), which
    // also records SBAwayController in the session state; nil when SpringBoard has none.
    static UIView* getAwayView();
    // Whether the controller itself is asking SpringBoard to unlock right now.
    static bool autoUnlock();
    // Whether the device has a passcode, asked of SBAwayController when it answers, else of
    // SBDeviceLockController.
    static bool deviceIsPassworded();

    CVAwayController();

    // Lock-screen events (called by SpringBoard's replaced methods).
    void springBoardInitialized();
    void screenWillDimWithSnapshot(const UIImageRef& snapshot);
    void lockscreenWillDisplay();
    void lockscreenDimmed();
    void sbAlertDisplayed();
    void cameraActivated();
    void cameraDeactivated();
    void passcodeSucceeded();
    void lockscreenAnimatedOut();
    // The main screen's bounds, with width and height swapped in landscape (orientation 3, 4).
    CGRect getCurrentScreenBoundsDependOnOrientation() const;

    // The touch entry points (called by the touch capture view with the event's touches): each
    // goes to the mode of the unlock type at that moment.
    UIView* lockScreenView() override { return getAwayView(); }
    bool capturesOnlyPassiveBackground() override;
    void lockscreenTouchesBegan(const UITouchSet* touches) override;
    void lockscreenTouchesMoved(const UITouchSet* touches) override;
    void lockscreenTouchesEnded(const UITouchSet* touches) override;

    // The move handlers of the design, each the move of its gesture's mode: the drag, the
    // overlay, the peel and the pull badge.
    void moveLockscreenWithTouch(const UITouchSet* touches);
    void moveTransparentOverlayWithTouch(const UITouchSet* touches);
    void peelLockscreenWithTouch(const UITouchSet* touches);
    void moveBadgeWithTouch(const UITouchSet* touches);

    // The ends of the animations the gestures start (their did-stop selectors and the curl's
    // animationDidStop:finished:), each handed to the mode whose animation it ends.
    // The plain return of the drag and the recogniser gestures: hides the snapshot view and
    // lastView.
    void gestureFinishedAnimating();
    void customMovementFinishedAnimatingWithUnlock();
    void gestureFinishedAnimatingWithUnlock();
    void moveBadgeBackInPlace();
    void switchBadgeBackToAwayView();
    // Runs the completion the stopped animation carries (the peel's curl away or back).
    void animationDidStop(CAAnimation* animation, bool finished);

    // The recogniser actions, each handed to its gesture's mode.
    void onPinch(UIPinchGestureRecognizer* recognizer);
    void onRotate(UIRotationGestureRecognizer* recognizer);
    void onVaultRotate(UIRotationGestureRecognizer* recognizer);

    // The unlock finishers.
    void fadeOutAndUnlock();
    // The image slides off the screen the way the gesture's mode says, then the device unlocks.
    void moveOutAndUnlock();
    void unlockWithoutAnimations();

    // Image tinting (the same operations as the snapshot view's).
    UIImageRef colorizeImage(const UIImageRef& image, const UIColorRef& color) const;
    UIImageRef imageWithColor(const UIColorRef& color, CGSize size) const;

    // A touch capture view of `frame` that reports to this controller.
    std::shared_ptr<CVTouchView> makeTouchView(CGRect frame);

    // The session state, every mode's state and this controller's tracked points as they are
    // when the library loads, for tests of the session logic in one process.
    void resetForTesting();

    // The tracked points the gestures share (the peel keeps its own start).
    CGPoint startPosition, currentPosition, previousPosition, velocity;
    CVSettings* settings = nullptr;
    UIView* awayView = nullptr;                // SpringBoard's lock-screen view; not owned
    std::shared_ptr<UIView> touchView;         // the touch capture view of the current display

private:
    // Touch-down of a gesture that moves the lock screen: a fresh snapshot view over lastView.
    void showFreshSnapshot();
};
