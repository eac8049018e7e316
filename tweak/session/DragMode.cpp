// Drag mode: the lock-screen image follows the finger on the allowed axis, fades with the
// distance when asked, and past its limit unlocks on that very move.

#include "tweak/session/CVAwayController.h"

#include "platform/uikit/UITouch.h"
#include "tweak/session/DragGeometry.h"
#include "tweak/session/SpringBoardCalls.h"

namespace {

constexpr double kPasscodeReturnSeconds = 0.5;

}  // namespace

void CVAwayController::moveLockscreenWithTouch(const UITouchSet* touches) {
    if (!settings->enabled()) return;
    auto& session = CVSession();
    // Once this touch sequence has crossed, its finisher owns the image: later moves of the same
    // finger neither move it nor send a second unlock request.
    if (session.unlockRequestSent) return;
    UIView* image = view().get();
    const UITouch* touch = touches ? touches->anyObject() : nullptr;
    currentPosition = touch ? touch->locationInView(image) : CGPointZero;
    CGRect frame = frameOf(image);
    const CVUnlockDirection direction = settings->unlockDirection();
    frame.origin = CVDraggedOrigin(frame.origin, currentPosition, startPosition, direction);
    const double d = settings->dragDistance();
    if (settings->unlockAnimation() == CVUnlockAnimation::SlideAndFadeWhileDragging && image) {
        image->setAlpha(CVDragFadeAlpha(frame.origin, d));
    }
    if (image) image->setFrame(frame);
    if (!CVBeyondDragLimit(frame.origin, d)) return;

    session.isUnlocking = true;
    session.unlockRequestSent = true;
    if (session.devicePassworded) {
        UIView::beginAnimations(nullptr, nullptr);
        UIView::setAnimationBeginsFromCurrentState(true);
        UIView::setAnimationDelegate(this);
        UIView::setAnimationDidStopSelector(
            CVAwayControllerMessage::customMovementFinishedAnimatingWithUnlock.selector());
        UIView::setAnimationDuration(kPasscodeReturnSeconds);
        if (image) {
            image->setAlpha(1);
            image->setFrame(CGRectMake(0, 0, frame.size.width, frame.size.height));
        }
        UIView::commitAnimations();
        return;
    }
    previousPosition = touch ? touch->previousLocationInView(image) : CGPointZero;
    if (direction != CVUnlockDirection::Any && settings->unlockAnimation() != CVUnlockAnimation::Fade) {
        moveOutAndUnlock();
    } else {
        fadeOutAndUnlock();
    }
}

void CVAwayController::customMovementFinishedAnimatingWithUnlock() {
    auto& session = CVSession();
    session.isUnlocking = false;
    if (view()) view()->setHidden(true);
    if (session.lastView) session.lastView->setHidden(true);
    SpringBoardCalls::unlockWithSound(SpringBoardCalls::sharedAwayController(),
                                      settings->playUnlockSound());
}
