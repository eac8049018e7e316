// Overlay mode: SpringBoard's lock screen stays in place and the translucent black overlay over
// it follows the finger; past the drag limits it slides back and the unlock is asked for at once.

#include "tweak/session/CVAwayController.h"

#include "platform/uikit/UITouch.h"
#include "tweak/session/DragGeometry.h"
#include "tweak/session/SpringBoardCalls.h"

namespace {

constexpr double kSlideBackSeconds = 0.25;

}  // namespace

void CVAwayController::moveTransparentOverlayWithTouch(const UITouchSet* touches) {
    auto& session = CVSession();
    UIView* overlay = session.transparentOverlayView.get();
    const UITouch* touch = touches ? touches->anyObject() : nullptr;
    currentPosition = touch ? touch->locationInView(overlay) : CGPointZero;
    CGRect frame = frameOf(overlay);
    frame.origin = CVDraggedOrigin(frame.origin, currentPosition, startPosition,
                                   settings->unlockDirection());
    if (!CVBeyondDragLimit(frame.origin, settings->dragDistance())) {
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
                                               settings->playUnlockSound());
}
