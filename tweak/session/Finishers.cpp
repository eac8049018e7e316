// The unlock finishers: the image fades out or slides off, then the device unlocks.

#include "tweak/session/CVAwayController.h"

#include "platform/uikit/UIView.h"
#include "tweak/session/CVUnlockMode.h"
#include "tweak/session/SpringBoardCalls.h"

namespace {

constexpr double kFadeSeconds = 0.15;
constexpr double kSlideSeconds = 0.25;

// Opens a block whose end sends unlockWithoutAnimations to the controller.
void beginUnlockAnimation(CVAwayController* controller, double seconds) {
    UIView::beginAnimations(nullptr, nullptr);
    UIView::setAnimationDelegate(controller);
    UIView::setAnimationDidStopSelector(CVAwayControllerMessage::unlockWithoutAnimations.selector());
    UIView::setAnimationDuration(seconds);
}

}  // namespace

void CVAwayController::fadeOutAndUnlock() {
    beginUnlockAnimation(this, kFadeSeconds);
    velocity = {currentPosition.x - previousPosition.x, currentPosition.y - previousPosition.y};
    UIView* image = view().get();
    CGRect frame = frameOf(image);
    const CVUnlockDirection direction = settings->unlockDirection();
    if (direction == CVUnlockDirection::Any) {
        frame.origin.x += velocity.x;
        frame.origin.y += velocity.y;
    } else if (CVIsHorizontal(direction)) {
        frame.origin.x += velocity.x;
    } else {
        frame.origin.y += velocity.y;
    }
    if (image) {
        image->setFrame(frame);
        image->setAlpha(0);
    }
    UIView::commitAnimations();
}

void CVAwayController::moveOutAndUnlock() {
    UIView::setAnimationsEnabled(true);
    beginUnlockAnimation(this, kSlideSeconds);
    UIView* image = view().get();
    CGRect frame = frameOf(image);
    const CVSlideOut out = CVUnlockModeFor(settings->unlockType()).slideOut(*settings);
    const CGFloat margin = out.marginInPoints;
    // Off the screen on its axis, on the side it is already displaced to.
    switch (out.way) {
        case CVSlideOut::Way::WithLastStep:
            velocity = {currentPosition.x - previousPosition.x, currentPosition.y - previousPosition.y};
            frame.origin.x += velocity.x;
            frame.origin.y += velocity.y;
            break;
        case CVSlideOut::Way::Horizontal:
            frame.origin.x = frame.origin.x > 0 ? frame.size.width + margin : -frame.size.width - margin;
            break;
        case CVSlideOut::Way::Vertical:
            frame.origin.y = frame.origin.y > 0 ? frame.size.height + margin : -frame.size.height - margin;
            break;
        case CVSlideOut::Way::Nowhere:
            break;
    }
    if (image) image->setFrame(frame);
    UIView::commitAnimations();
}

void CVAwayController::unlockWithoutAnimations() {
    // SpringBoard's unlock routine, replaced, reads the flag during this very call.
    CVSession().aUnlock = true;
    SpringBoardCalls::unlockWithSound(SpringBoardCalls::sharedAwayControllerIfExists(),
                                      settings->playUnlockSound());
    CVSession().aUnlock = false;
}
