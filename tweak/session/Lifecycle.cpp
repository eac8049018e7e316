// The lock screen's life as SpringBoard reports it: start, lock, display, dim, alert, camera,
// passcode and the lock screen gone.

#include "tweak/session/CVAwayController.h"

#include "platform/foundation/NSLog.h"
#include "platform/uikit/UIApplication.h"
#include "platform/uikit/UIDevice.h"
#include "platform/uikit/UIPinchGestureRecognizer.h"
#include "platform/uikit/UIRotationGestureRecognizer.h"
#include "platform/uikit/UIScreen.h"
#include "platform/uikit/UIWindow.h"
#include "tweak/session/SpringBoardCalls.h"
#include "tweak/views/AddonGeometry.h"
#include "tweak/views/CVTouchView.h"

namespace {

constexpr int kStatusBarClockItem = 0;

CGRect screenBounds() {
    const UIScreen* screen = UIScreen::mainScreen();
    return screen ? screen->bounds() : CGRectZero;
}

// Takes a view out of its window and lets it go. The design only ever released most of the
// session's views, leaving them in the lock-screen window when a display ran again.
template <typename View>
void discard(std::shared_ptr<View>& view) {
    if (view) view->removeFromSuperview();
    view.reset();
}

// Releases a recogniser, detaching it from its view.
template <typename Recognizer>
void discardRecognizer(std::shared_ptr<Recognizer>& recognizer) {
    if (recognizer && recognizer->view()) recognizer->view()->removeGestureRecognizer(recognizer.get());
    recognizer.reset();
}

UIWindow* windowOf(const UIView* view) { return view ? view->window() : nullptr; }

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
    discard(session.transparentOverlayView);
    discard(session.badgeView);
    discard(session.vaultView);
    const CVUnlockType type = settings->unlockType();
    if (type != CVUnlockType::PullBadge) touchView = makeTouchView(screenBounds());
    buildAddon(type);
    if (UIWindow* window = windowOf(awayView); window && touchView) {
        window->addSubview(touchView);
        window->bringSubviewToFront(touchView.get());
    }
}

void CVAwayController::buildAddon(CVUnlockType type) {
    auto& session = CVSession();
    UIWindow* window = windowOf(awayView);
    switch (type) {
    case CVUnlockType::Overlay: {
        session.transparentOverlayView = UIView::create(frameOf(awayView));
        session.transparentOverlayView->setBackgroundColor(
            CVOverlayColor(settings->overlayTransparency()));
        if (window) {
            window->addSubview(session.transparentOverlayView);
            window->bringSubviewToFront(session.transparentOverlayView.get());
        }
        session.transparentOverlayView->setUserInteractionEnabled(false);
        break;
    }
    case CVUnlockType::Pinch:
        discardRecognizer(session.pinchRecognizer);
        session.pinchRecognizer = std::make_shared<UIPinchGestureRecognizer>(
            this, CVAwayControllerMessage::onPinch.selector());
        if (touchView) touchView->addGestureRecognizer(session.pinchRecognizer);
        break;
    case CVUnlockType::PullBadge:
        buildPullBadge(window);
        break;
    case CVUnlockType::Rotate:
        discardRecognizer(session.rotateRecognizer);
        session.rotateRecognizer = std::make_shared<UIRotationGestureRecognizer>(
            this, CVAwayControllerMessage::onRotate.selector());
        if (touchView) touchView->addGestureRecognizer(session.rotateRecognizer);
        break;
    case CVUnlockType::Vault: {
        const auto image = UIImage::imageWithContentsOfFile(kCVVaultImagePath);
        session.vaultView = UIView::create<UIImageView>(
            CVVaultFrame(UIDevice::currentDevice()->model(), frameOf(view().get()).size));
        session.vaultView->setImage(image);
        session.vaultView->setUserInteractionEnabled(true);
        if (window) window->addSubview(session.vaultView);
        discardRecognizer(session.rotateVaultRecognizer);
        session.rotateVaultRecognizer = std::make_shared<UIRotationGestureRecognizer>(
            this, CVAwayControllerMessage::onVaultRotate.selector());
        if (touchView) touchView->addGestureRecognizer(session.rotateVaultRecognizer);
        break;
    }
    default:
        break;
    }
}

void CVAwayController::buildPullBadge(UIWindow* window) {
    const auto placement = CVBadgePlacementFor(settings->pullDirection(), settings->badgeDesign(),
                                               screenBounds());
    if (!placement) return;
    auto& session = CVSession();
    UIImageRef image = UIImage::imageWithContentsOfFile(placement->imagePath);
    if (settings->badgeDesign() == "Custom") image = colorizeImage(image, settings->badgeColor());
    session.badgeView = UIView::create<UIImageView>(placement->frame);
    session.badgeView->setImage(image);
    touchView = makeTouchView(placement->frame);
    session.badgeView->setUserInteractionEnabled(true);
    if (window) {
        window->addSubview(session.badgeView);
        window->bringSubviewToFront(session.badgeView.get());
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
    session.curlFilter.reset();
    discard(session.transparentOverlayView);
    discard(session.badgeView);
    // The vault and the recognisers go with the lock screen too; nothing uses them after it.
    discard(session.vaultView);
    discardRecognizer(session.pinchRecognizer);
    discardRecognizer(session.rotateRecognizer);
    discardRecognizer(session.rotateVaultRecognizer);
}
