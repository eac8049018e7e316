#pragma once

// The one unlock session controller: it follows the lock screen's life as SpringBoard reports
// it, builds what the unlock gesture needs in the lock-screen window, tracks the touches, moves
// the lock-screen image and asks SpringBoard to unlock.

#include "platform/graphics/CGGeometry.h"
#include "platform/runtime/objc.h"
#include "platform/uikit/UIImage.h"
#include "platform/uikit/UITouchSet.h"
#include "platform/uikit/UIViewController.h"
#include "tweak/session/CVSessionState.h"
#include "tweak/settings/CVSettings.h"

class UIView;
class UIWindow;

class CVAwayController : public UIViewController {
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
    void lockscreenTouchesBegan(const UITouchSet* touches);
    void lockscreenTouchesMoved(const UITouchSet* touches);
    void lockscreenTouchesEnded(const UITouchSet* touches);

    // Drag mode.
    void moveLockscreenWithTouch(const UITouchSet* touches);
    // Did-stop of the passcode return: hides both images and sends the unlock request.
    void customMovementFinishedAnimatingWithUnlock();
    // Did-stop of the plain return: hides the snapshot view and lastView.
    void gestureFinishedAnimating();

    // The unlock finishers.
    void fadeOutAndUnlock();
    void moveOutAndUnlock();
    void unlockWithoutAnimations();

    // Image tinting (the same operations as the snapshot view's).
    UIImageRef colorizeImage(const UIImageRef& image, const UIColorRef& color) const;
    UIImageRef imageWithColor(const UIColorRef& color, CGSize size) const;

    // The add-on of unlock type `type` in the lock-screen window (the overlay, a recogniser, the
    // pull badge with its own touch view, or the vault with its recogniser).
    void buildAddon(int type);
    void buildPullBadge(UIWindow* window);

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
