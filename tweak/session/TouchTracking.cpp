// The three touch entry points: the snapshot view is built at touch-down for the gestures that
// move it, and each phase goes to the mode of the unlock type.

#include "tweak/session/CVAwayController.h"

#include "platform/uikit/UIWindow.h"
#include "tweak/session/CVUnlockMode.h"
#include "tweak/session/DragMode.h"
#include "tweak/session/OverlayMode.h"
#include "tweak/session/PeelMode.h"
#include "tweak/session/PullBadgeMode.h"
#include "tweak/session/SpringBoardCalls.h"
#include "tweak/views/CVAwayView.h"

bool CVAwayController::capturesOnlyPassiveBackground() {
    return CVUnlockModeFor(settings->unlockType()).capturesPassiveBackground();
}

void CVAwayController::lockscreenTouchesBegan(const UITouchSet* touches) {
    if (!settings->enabled()) return;
    CVSession().unlockRequestSent = false;
    CVUnlockMode& mode = CVUnlockModeFor(settings->unlockType());
    if (mode.movesSnapshot()) showFreshSnapshot();
    mode.touchesBegan(*this, touches);
}

void CVAwayController::showFreshSnapshot() {
    auto& session = CVSession();
    UIView* springBoardView = SpringBoardCalls::awayView(SpringBoardCalls::sharedAwayController());
    auto snapshot = CVAwayView::createWithImage(SpringBoardCalls::renderSnapshot(springBoardView));
    // The previous snapshot view leaves the window with its replacement; left there, every
    // touch of a long session would add a full-screen image that is never freed.
    if (view()) view()->removeFromSuperview();
    setView(snapshot);
    if (snapshot) snapshot->setHidden(false);
    awayView = getAwayView();
    UIWindow* window = awayView ? awayView->window() : nullptr;
    if (session.lastView) session.lastView->setHidden(false);
    if (window && session.lastView) window->addSubview(session.lastView);
    if (window && snapshot) window->addSubview(snapshot);
}

void CVAwayController::lockscreenTouchesMoved(const UITouchSet* touches) {
    if (!settings->enabled()) return;
    awayView = getAwayView();
    CVUnlockModeFor(settings->unlockType()).touchesMoved(*this, touches);
}

void CVAwayController::lockscreenTouchesEnded(const UITouchSet*) {
    if (!settings->enabled() || CVSession().isUnlocking) return;
    CVUnlockModeFor(settings->unlockType()).touchesEnded(*this);
}

void CVAwayController::moveLockscreenWithTouch(const UITouchSet* touches) {
    CVDragMode::shared().touchesMoved(*this, touches);
}

void CVAwayController::moveTransparentOverlayWithTouch(const UITouchSet* touches) {
    CVOverlayMode::shared().touchesMoved(*this, touches);
}

void CVAwayController::peelLockscreenWithTouch(const UITouchSet* touches) {
    CVPeelMode::shared().touchesMoved(*this, touches);
}

void CVAwayController::moveBadgeWithTouch(const UITouchSet* touches) {
    CVPullBadgeMode::shared().touchesMoved(*this, touches);
}
