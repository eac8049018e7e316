// The unlock finishers: the image fades out or slides off, then the device unlocks.

#include "tweak/session/CVAwayController.h"

#include "platform/uikit/UIView.h"
#include "tweak/session/SpringBoardCalls.h"

namespace {

constexpr double kFadeSeconds = 0.15;
constexpr double kSlideSeconds = 0.25;
constexpr CGFloat kBadgeMargin = 12;

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
    const bool badge = settings->unlockType() == CVUnlockType::PullBadge;
    const CVUnlockDirection direction = settings->unlockDirection();
    const CVPullDirection pull = settings->pullDirection();
    const CGFloat margin = badge ? kBadgeMargin : 0;
    if (direction == CVUnlockDirection::Any && !badge) {
        velocity = {currentPosition.x - previousPosition.x, currentPosition.y - previousPosition.y};
        frame.origin.x += velocity.x;
        frame.origin.y += velocity.y;
    } else {
        const bool horizontal = badge ? (pull == CVPullDirection::Right || pull == CVPullDirection::Left)
                                      : CVIsHorizontal(direction);
        const bool vertical = badge ? pull == CVPullDirection::Up : !CVIsHorizontal(direction);
        // Off the screen on its axis, on the side it is already displaced to.
        if (horizontal) {
            frame.origin.x = frame.origin.x > 0 ? frame.size.width + margin : -frame.size.width - margin;
        } else if (vertical) {
            frame.origin.y = frame.origin.y > 0 ? frame.size.height + margin : -frame.size.height - margin;
        }
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
