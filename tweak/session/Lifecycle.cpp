// The lock screen's life as SpringBoard reports it: start, lock, display, dim, alert, camera,
// passcode and the lock screen gone.

#include "tweak/session/CVAwayController.h"

#include "platform/foundation/NSLog.h"
#include "platform/uikit/UIApplication.h"
#include "platform/uikit/UIScreen.h"
#include "platform/uikit/UIWindow.h"
#include "tweak/session/CVUnlockMode.h"
#include "tweak/session/SpringBoardCalls.h"
#include "tweak/session/ViewSteps.h"
#include "tweak/views/CVTouchView.h"

namespace {

using namespace CVViewSteps;

constexpr int kStatusBarClockItem = 0;

CGRect screenBounds() {
    const UIScreen* screen = UIScreen::mainScreen();
    return screen ? screen->bounds() : CGRectZero;
}

}  // namespace

CGRect CVAwayController::getCurrentScreenBoundsDependOnOrientation() const {
    CGRect bounds = screenBounds();
    const UIInterfaceOrientation orientation =
        UIApplication::sharedApplication()->statusBarOrientation();
    if (orientation == UIInterfaceOrientationLandscapeLeft ||
        orientation == UIInterfaceOrientationLandscapeRight) {
        std::swap(bounds.size.width, bounds.size.height);
    }
    return bounds;
}

void CVAwayController::springBoardInitialized() {
    auto& session = CVSession();
    session.lastViewImage = imageWithColor(UIColor::darkGrayColor(),
                                           getCurrentScreenBoundsDependOnOrientation().size);
    session.lastView = UIImageView::createWithImage(session.lastViewImage);
}

void CVAwayController::screenWillDimWithSnapshot(const UIImageRef& snapshot) {
    if (!settings->enabled()) return;
    auto& session = CVSession();
    if (session.lastView) session.lastView->removeFromSuperview();
    if (view()) view()->removeFromSuperview();
    session.lastViewImage = snapshot;
    if (!snapshot) {
        NSLog("CRV: lastViewImage invalid!");
        session.lastViewImage = SpringBoardCalls::linenImage(screenBounds());
    }
    session.lastView = UIImageView::createWithImage(session.lastViewImage);
    discard(touchView);
}

void CVAwayController::lockscreenWillDisplay() {
    auto* application = UIApplication::sharedApplication();
    if (settings->showStatusBarClock()) {
        application->addStatusBarItem(kStatusBarClockItem);
    } else {
        application->removeStatusBarItem(kStatusBarClockItem);
    }
    if (!settings->enabled()) return;
    auto& session = CVSession();
    session.devicePassworded = deviceIsPassworded();
    awayView = getAwayView();
    if (settings->hideUnlockSlider() && awayView) {
        // A copy: sending a view to the back reorders the list being walked.
        const auto subviews = awayView->subviews();
        for (const auto& subview : subviews) {
            if (!SpringBoardCalls::isUnlockBar(*subview)) continue;
            awayView->sendSubviewToBack(subview.get());
            subview->setUserInteractionEnabled(false);
        }
    }
    // The views of an earlier display (one the passcode entry interrupted) leave the window now.
    discard(touchView);
    CVForEachUnlockMode([](CVUnlockMode& mode) { mode.leaveDisplay(); });
    CVUnlockMode& mode = CVUnlockModeFor(settings->unlockType());
    if (mode.capturesPassiveBackground()) touchView = makeTouchView(screenBounds());
    mode.buildAddon(*this, windowOf(awayView));
    if (UIWindow* window = windowOf(awayView); window && touchView) {
        window->addSubview(touchView);
        window->bringSubviewToFront(touchView.get());
    }
}

std::shared_ptr<CVTouchView> CVAwayController::makeTouchView(CGRect frame) {
    auto view = UIView::create<CVTouchView>(frame);
    if (view) view->setDelegate(std::static_pointer_cast<CVAwayController>(shared_from_this()));
    return view;
}

void CVAwayController::lockscreenDimmed() { discard(touchView); }

void CVAwayController::sbAlertDisplayed() {
    if (!SpringBoardCalls::isLocked(SpringBoardCalls::sharedAwayController())) return;
    awayView = getAwayView();
    if (UIWindow* window = windowOf(awayView); window && touchView) {
        window->sendSubviewToBack(touchView.get());
    }
    if (touchView) touchView->setUserInteractionEnabled(false);
}

void CVAwayController::cameraActivated() { sbAlertDisplayed(); }

void CVAwayController::cameraDeactivated() {
    if (!SpringBoardCalls::isLocked(SpringBoardCalls::sharedAwayController())) return;
    awayView = getAwayView();
    if (UIWindow* window = windowOf(awayView); window && touchView) {
        window->bringSubviewToFront(touchView.get());
    }
    if (touchView) touchView->setUserInteractionEnabled(true);
}

void CVAwayController::passcodeSucceeded() { discard(CVSession().lastView); }

void CVAwayController::lockscreenAnimatedOut() {
    if (!settings->enabled()) return;
    auto& session = CVSession();
    session.isUnlocking = false;
    if (!session.devicePassworded) discard(session.lastView);
    // Every gesture's views, filter and recognisers go with the lock screen; nothing uses them
    // after it.
    CVForEachUnlockMode([](CVUnlockMode& mode) { mode.leaveLockScreen(); });
}
