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

    // The touch entry points (called by the touch capture view with the event's touches).
    UIView* lockScreenView() override { return getAwayView(); }
    void lockscreenTouchesBegan(const UITouchSet* touches) override;
    void lockscreenTouchesMoved(const UITouchSet* touches) override;
    void lockscreenTouchesEnded(const UITouchSet* touches) override;

    // Drag mode.
    void moveLockscreenWithTouch(const UITouchSet* touches);
    // Did-stop of the passcode return: hides both images and sends the unlock request.
    void customMovementFinishedAnimatingWithUnlock();
    // Did-stop of the plain return: hides the snapshot view and lastView.
    void gestureFinishedAnimating();

    // Overlay mode.
    void moveTransparentOverlayWithTouch(const UITouchSet* touches);

    // Page-peel mode: the move handler, the touch-up, and the end of the curl animations
    // (animationDidStop:finished:, told apart by their "id": "curlAway" or "curlBack").
    void peelLockscreenWithTouch(const UITouchSet* touches);
    void releasePeel();
    void animationDidStop(CAAnimation* animation, bool finished);
    // A finishing move of the peel, `dx` points right of where the finger came down.
    void finishPeel(float dx);
    // Adds the curl animation `identifier` ("curlAway", "curlBack") on the page's curl amount,
    // from its current value to `to`, under the key "<identifier>Animation".
    void addCurlAnimation(const char* identifier, double to, double seconds, CAFillMode fill,
                          bool removedOnCompletion);

    // Pull-badge mode: the move handler and the two steps of the badge's return.
    void moveBadgeWithTouch(const UITouchSet* touches);
    // Touch-up of the pull-badge mode: the image goes back, then the badge.
    void releaseBadge();
    void moveBadgeBackInPlace();
    void switchBadgeBackToAwayView();

    // The recogniser gestures: pinch, rotate and the vault dial.
    void onPinch(UIPinchGestureRecognizer* recognizer);
    void onRotate(UIRotationGestureRecognizer* recognizer);
    void onVaultRotate(UIRotationGestureRecognizer* recognizer);
    // Did-stop of the passcode return of pinch and rotate: hides both images and unlocks.
    void gestureFinishedAnimatingWithUnlock();
    // The common guard of the recogniser actions: the tweak enabled and no unlock under way. A
    // recogniser that has just begun starts a gesture of its own.
    bool takesGestureCallback(const UIGestureRecognizer* recognizer);
    // Pinch and rotate: the image takes `transform` and unlocks when `pastLimit`, or, once the
    // recogniser has ended, returns to rest.
    void followOrReturn(const UIGestureRecognizer* recognizer, CGAffineTransform transform,
                        bool pastLimit);

    // The unlock finishers.
    void fadeOutAndUnlock();
    void moveOutAndUnlock();
    void unlockWithoutAnimations();

    // Image tinting (the same operations as the snapshot view's).
    UIImageRef colorizeImage(const UIImageRef& image, const UIColorRef& color) const;
    UIImageRef imageWithColor(const UIColorRef& color, CGSize size) const;

    // The add-on of unlock type `type` in the lock-screen window (the overlay, a recogniser, the
    // pull badge with its own touch view, or the vault with its recogniser).
    void buildAddon(CVUnlockType type);
    void buildPullBadge(UIWindow* window);
    // A touch capture view of `frame` that reports to this controller.
    std::shared_ptr<CVTouchView> makeTouchView(CGRect frame);

    // Touch-down of the pull-badge mode: the badge moves into the snapshot view.
    void grabBadge(const UITouchSet* touches);
    // Touch-up in drag mode: the plain or elastic return, or none, as the settings say.
    void releaseDraggedImage();
    // The elastic return: along a path that overshoots the rest place and swings back.
    void elasticReturn();

    // The tracked points.
    CGPoint startPosition, currentPosition, previousPosition, velocity, lastPos;
    CGPoint bvstartPosition, bvcurrentPosition;
    CVSettings* settings = nullptr;
    UIView* awayView = nullptr;                // SpringBoard's lock-screen view; not owned
    std::shared_ptr<UIView> touchView;         // the touch capture view of the current display
};
