#include "tweak/session/OverlayMode.h"

#include "tweak/session/CVAwayController.h"
#include "tweak/session/DragGeometry.h"
#include "tweak/session/SpringBoardCalls.h"
#include "tweak/session/ViewSteps.h"
#include "tweak/views/AddonViews.h"
#include "tweak/views/CVAwayView.h"

namespace {

using namespace CVViewSteps;

constexpr double kSlideBackSeconds = 0.25;  // past the limits
constexpr double kReturnSeconds = 0.5;      // released short of them

}  // namespace

CVOverlayMode& CVOverlayMode::shared() {
    static CVOverlayMode mode;
    return mode;
}

void CVOverlayMode::buildAddon(CVAwayController& controller, UIWindow* window) {
    transparentOverlayView_ = CVMakeTransparentOverlay(
        frameOf(controller.awayView), controller.settings->overlayTransparency());
    if (window) {
        window->addSubview(transparentOverlayView_);
        window->bringSubviewToFront(transparentOverlayView_.get());
    }
    // The touches go to the touch capture view beneath; the overlay only shows.
    transparentOverlayView_->setUserInteractionEnabled(false);
}

void CVOverlayMode::addAddonTo(CVAwayView& host) { host.addTransparentOverlay(); }

void CVOverlayMode::leaveDisplay() { discard(transparentOverlayView_); }

void CVOverlayMode::leaveLockScreen() { discard(transparentOverlayView_); }

void CVOverlayMode::resetForTesting() { discard(transparentOverlayView_); }

void CVOverlayMode::touchesBegan(CVAwayController& controller, const UITouchSet* touches) {
    controller.startPosition = locationOf(touches, controller.touchView.get());
}

void CVOverlayMode::touchesMoved(CVAwayController& controller, const UITouchSet* touches) {
    auto& session = CVSession();
    UIView* overlay = transparentOverlayView_.get();
    controller.currentPosition = locationOf(touches, overlay);
    CGRect frame = frameOf(overlay);
    frame.origin = CVDraggedOrigin(frame.origin, controller.currentPosition,
                                   controller.startPosition, controller.settings->unlockDirection());
    if (!CVBeyondDragLimit(frame.origin, controller.settings->dragDistance())) {
        if (overlay) overlay->setFrame(frame);
        return;
    }
    UIView::beginAnimations(nullptr, nullptr);
    UIView::setAnimationBeginsFromCurrentState(true);
    UIView::setAnimationDuration(kSlideBackSeconds);
    if (overlay) overlay->setFrame(CGRectMake(0, 0, frame.size.width, frame.size.height));
    UIView::commitAnimations();
    // Later moves of the same finger beyond the limits slide the overlay back again, but the
    // gesture has already asked for its unlock.
    if (session.unlockRequestSent) return;
    session.unlockRequestSent = true;
    SpringBoardCalls::unlockWithSoundVersioned(SpringBoardCalls::sharedAwayControllerIfExists(),
                                               controller.settings->playUnlockSound());
}

void CVOverlayMode::touchesEnded(CVAwayController&) {
    UIView::beginAnimations(nullptr, nullptr);
    UIView::setAnimationBeginsFromCurrentState(true);
    UIView::setAnimationDuration(kReturnSeconds);
    setOrigin(transparentOverlayView_.get(), CGPointZero);
    UIView::commitAnimations();
}
