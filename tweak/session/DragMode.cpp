// Drag mode: the lock-screen image follows the finger on the allowed axis, fades with the
// distance when asked, and past its limit unlocks on that very move.

#include "tweak/session/CVAwayController.h"

#include "platform/uikit/UITouch.h"
#include "tweak/session/SpringBoardCalls.h"

#include <cmath>

namespace {

constexpr double kLimit = 180;      // points, right, left and up, times the drag distance
constexpr double kDownLimit = 135;  // points down, times the drag distance
constexpr double kPasscodeReturnSeconds = 0.5;

// The fade of a drag of offset (x, y) with the drag distance d: the larger offset decides. A
// limit of zero (d of 0) gives no division: any offset is fully faded, none is fully shown.
float fadeAlpha(double x, double y, double d) {
    const float a = static_cast<float>(d * kLimit - std::fabs(x));
    const float b = static_cast<float>(d * kLimit - std::fabs(y));
    const double offset = a > b ? y : x;
    const double limit = a > b ? d * kLimit : d * kDownLimit;
    if (!std::isfinite(limit) || limit == 0) return offset == 0 ? 1.0f : 0.0f;
    const float alpha = static_cast<float>(1 - std::fabs(offset / limit));
    return std::isfinite(alpha) ? alpha : 0.0f;
}

bool beyondLimit(CGPoint origin, double d) {
    const double x = origin.x, y = origin.y;
    return x > d * kLimit || x < d * -kLimit || y > d * kDownLimit || y < d * -kLimit;
}

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
    const int direction = settings->unlockDirection();
    if (direction == 0 || direction >= 4) frame.origin.x += currentPosition.x - startPosition.x;
    if (direction <= 3) frame.origin.y += currentPosition.y - startPosition.y;
    if (direction == 1 && frame.origin.y > 0) frame.origin.y = 0;
    if (direction == 2 && frame.origin.y < 0) frame.origin.y = 0;
    if (direction == 4 && frame.origin.x > 0) frame.origin.x = 0;
    if (direction == 5 && frame.origin.x < 0) frame.origin.x = 0;
    const double d = settings->dragDistance();
    if (settings->unlockAnimation() == 2 && image) {
        image->setAlpha(fadeAlpha(frame.origin.x, frame.origin.y, d));
    }
    if (image) image->setFrame(frame);
    if (!beyondLimit(frame.origin, d)) return;

    session.isUnlocking = true;
    session.unlockRequestSent = true;
    if (session.devicePassworded) {
        UIView::beginAnimations(nullptr, nullptr);
        UIView::setAnimationBeginsFromCurrentState(true);
        UIView::setAnimationDelegate(this);
        UIView::setAnimationDidStopSelector(
            CV_SELECTOR("customMovementFinishedAnimatingWithUnlock:finished:context:"));
        UIView::setAnimationDuration(kPasscodeReturnSeconds);
        if (image) {
            image->setAlpha(1);
            image->setFrame(CGRectMake(0, 0, frame.size.width, frame.size.height));
        }
        UIView::commitAnimations();
        return;
    }
    previousPosition = touch ? touch->previousLocationInView(image) : CGPointZero;
    if (direction != 0 && settings->unlockAnimation() != 0) {
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
