#include "tweak/session/DragMode.h"

#include "platform/graphics/CGPath.h"
#include "platform/quartz/CAAnimationGroup.h"
#include "platform/quartz/CABasicAnimation.h"
#include "platform/quartz/CAKeyframeAnimation.h"
#include "platform/quartz/CAMediaTimingFunction.h"
#include "tweak/session/CVAwayController.h"
#include "tweak/session/DragGeometry.h"
#include "tweak/session/SpringBoardCalls.h"
#include "tweak/session/ViewSteps.h"

#include <cmath>

namespace {

using namespace CVViewSteps;

// How long the image takes back to rest: after a passcode crossing, and released short.
constexpr double kPasscodeReturnSeconds = 0.5;
constexpr double kReturnSeconds = 0.5;

}  // namespace

CVDragMode& CVDragMode::shared() {
    static CVDragMode mode;
    return mode;
}

void CVDragMode::touchesBegan(CVAwayController& controller, const UITouchSet* touches) {
    controller.startPosition = locationOf(touches, controller.touchView.get());
}

void CVDragMode::touchesMoved(CVAwayController& controller, const UITouchSet* touches) {
    CVSettings& settings = *controller.settings;
    if (!settings.enabled()) return;
    auto& session = CVSession();
    // Once this touch sequence has crossed, its finisher owns the image: later moves of the same
    // finger neither move it nor send a second unlock request.
    if (session.unlockRequestSent) return;
    UIView* image = controller.view().get();
    const UITouch* touch = anyTouch(touches);
    controller.currentPosition = touch ? touch->locationInView(image) : CGPointZero;
    CGRect frame = frameOf(image);
    const CVUnlockDirection direction = settings.unlockDirection();
    frame.origin = CVDraggedOrigin(frame.origin, controller.currentPosition,
                                   controller.startPosition, direction);
    const double d = settings.dragDistance();
    if (settings.unlockAnimation() == CVUnlockAnimation::SlideAndFadeWhileDragging && image) {
        image->setAlpha(CVDragFadeAlpha(frame.origin, d));
    }
    if (image) image->setFrame(frame);
    if (!CVBeyondDragLimit(frame.origin, d)) return;

    session.isUnlocking = true;
    session.unlockRequestSent = true;
    if (session.devicePassworded) {
        UIView::beginAnimations(nullptr, nullptr);
        UIView::setAnimationBeginsFromCurrentState(true);
        UIView::setAnimationDelegate(&controller);
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
    controller.previousPosition = touch ? touch->previousLocationInView(image) : CGPointZero;
    if (direction != CVUnlockDirection::Any &&
        settings.unlockAnimation() != CVUnlockAnimation::Fade) {
        controller.moveOutAndUnlock();
    } else {
        controller.fadeOutAndUnlock();
    }
}

void CVDragMode::customMovementFinishedAnimatingWithUnlock(CVAwayController& controller) {
    auto& session = CVSession();
    session.isUnlocking = false;
    hide(controller.view().get());
    hide(session.lastView.get());
    SpringBoardCalls::unlockWithSound(SpringBoardCalls::sharedAwayController(),
                                      controller.settings->playUnlockSound());
}

// The plain return (release 0, or any release with the direction "any"), the elastic one, or,
// for any other release, none: the image stays where the finger left it.
void CVDragMode::touchesEnded(CVAwayController& controller) {
    const CVReleaseAnimation release = controller.settings->releaseAnimation();
    const CVUnlockDirection direction = controller.settings->unlockDirection();
    if (release == CVReleaseAnimation::SlideBack || direction == CVUnlockDirection::Any) {
        UIView::beginAnimations(nullptr, nullptr);
        UIView::setAnimationDelegate(&controller);
        UIView::setAnimationDidStopSelector(
            CVAwayControllerMessage::gestureFinishedAnimating.selector());
        UIView::setAnimationBeginsFromCurrentState(true);
        UIView::setAnimationDuration(kReturnSeconds);
        if (UIView* image = controller.view().get()) {
            setOrigin(image, CGPointZero);
            image->setAlpha(1);
        }
        UIView::commitAnimations();
    } else if (release == CVReleaseAnimation::Elastic) {
        elasticReturn(controller);
    }
}

void CVDragMode::elasticReturn(CVAwayController& controller) {
    UIView* image = controller.view().get();
    const CGRect frame = frameOf(image);
    // The rest centre and the swing come from the view's own rest frame, so that every screen
    // size swings about its own centre (on 320 × 480 this is (160, 240)).
    const CGPoint rest = {frame.size.width / 2, frame.size.height / 2};
    CGPoint d = CGPointZero;
    if (CVIsHorizontal(controller.settings->unlockDirection())) {
        d.x = frame.origin.x > 0 ? frame.origin.x + rest.x : frame.origin.x - rest.x;
    } else {
        d.y = frame.origin.y > 0 ? frame.origin.y + rest.y : frame.origin.y - rest.y;
    }
    auto path = CGPathCreateMutable();
    const CGPoint centre = image ? image->center() : CGPointZero;
    CGPathMoveToPoint(path, nullptr, centre.x, centre.y);
    CGPathAddLineToPoint(path, nullptr, rest.x, rest.y);
    float k = 10, duration = 1.25f;
    do {
        CGPathAddLineToPoint(path, nullptr, rest.x + d.x / k, rest.y + d.y / k);
        CGPathAddLineToPoint(path, nullptr, rest.x, rest.y);
        k += 10;
        duration += 1 / k;
    } while (std::fabs(std::trunc(d.x / k)) > 10 || std::fabs(std::trunc(d.y / k)) > 10);

    auto position = CAKeyframeAnimation::animationWithKeyPath("position");
    position->setPath(path);
    position->setRemovedOnCompletion(false);
    position->setDuration(duration);
    auto transform = CABasicAnimation::animationWithKeyPath("transform");
    transform->setToValue(CAValue(CGAffineTransformIdentity));
    transform->setRemovedOnCompletion(true);
    transform->setDuration(duration);
    auto group = CAAnimationGroup::animation();
    group->setAnimations({position, transform});
    group->setDuration(duration);
    group->setTimingFunction(CAMediaTimingFunction::functionWithName(kCAMediaTimingFunctionEaseIn));
    if (image) {
        image->layer()->addAnimation(group, "animateAwayViewToCenter");
        setOrigin(image, CGPointZero);
        image->setAlpha(1);
        image->setTransform(CGAffineTransformIdentity);
    }
}
