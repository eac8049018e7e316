// The three touch entry points: the snapshot view is built at touch-down, each move goes to the
// mode of the unlock type, and touch-up sends what moved back to rest.

#include "tweak/session/CVAwayController.h"

#include "platform/graphics/CGPath.h"
#include "platform/quartz/CAAnimationGroup.h"
#include "platform/quartz/CABasicAnimation.h"
#include "platform/quartz/CAKeyframeAnimation.h"
#include "platform/quartz/CAMediaTimingFunction.h"
#include "platform/uikit/UITouch.h"
#include "platform/uikit/UIWindow.h"
#include "tweak/session/SpringBoardCalls.h"
#include "tweak/views/CVAwayView.h"

#include <cmath>

namespace {

constexpr double kReturnSeconds = 0.5;

// Where `touches` is in `view`: the location of any one touch; (0, 0) for none.
CGPoint locationOf(const UITouchSet* touches, const UIView* view) {
    const UITouch* touch = touches ? touches->anyObject() : nullptr;
    return touch ? touch->locationInView(view) : CGPointZero;
}

// Every type but the overlay and the vault moves a picture of the lock screen.
bool buildsSnapshot(CVUnlockType type) {
    switch (type) {
        case CVUnlockType::Drag:
        case CVUnlockType::Pinch:
        case CVUnlockType::Peel:
        case CVUnlockType::PullBadge:
        case CVUnlockType::Rotate:
            return true;
        default:
            return false;
    }
}

void setOrigin(UIView* view, CGPoint origin) {
    if (!view) return;
    CGRect frame = view->frame();
    frame.origin = origin;
    view->setFrame(frame);
}

void hide(UIView* view) {
    if (view) view->setHidden(true);
}

}  // namespace

void CVAwayController::lockscreenTouchesBegan(const UITouchSet* touches) {
    if (!settings->enabled()) return;
    auto& session = CVSession();
    session.unlockRequestSent = false;
    const CVUnlockType type = settings->unlockType();
    if (buildsSnapshot(type)) {
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
    switch (type) {
    case CVUnlockType::Drag:
    case CVUnlockType::Overlay:
        startPosition = locationOf(touches, touchView.get());
        break;
    case CVUnlockType::Peel:
        lastPos = locationOf(touches, touchView.get());
        break;
    case CVUnlockType::PullBadge:
        grabBadge(touches);
        break;
    default:
        break;
    }
}

void CVAwayController::lockscreenTouchesMoved(const UITouchSet* touches) {
    if (!settings->enabled()) return;
    awayView = getAwayView();
    switch (settings->unlockType()) {
    case CVUnlockType::Drag:
        moveLockscreenWithTouch(touches);
        break;
    case CVUnlockType::Overlay:
        moveTransparentOverlayWithTouch(touches);
        break;
    case CVUnlockType::Peel:
        peelLockscreenWithTouch(touches);
        break;
    case CVUnlockType::PullBadge:
        moveBadgeWithTouch(touches);
        break;
    default:
        break;  // the recogniser gestures follow their recognisers
    }
}

void CVAwayController::lockscreenTouchesEnded(const UITouchSet*) {
    if (!settings->enabled() || CVSession().isUnlocking) return;
    auto& session = CVSession();
    switch (settings->unlockType()) {
    case CVUnlockType::Drag:
        releaseDraggedImage();
        break;
    case CVUnlockType::Overlay:
        UIView::beginAnimations(nullptr, nullptr);
        UIView::setAnimationBeginsFromCurrentState(true);
        UIView::setAnimationDuration(kReturnSeconds);
        setOrigin(session.transparentOverlayView.get(), CGPointZero);
        UIView::commitAnimations();
        break;
    case CVUnlockType::Pinch:
        hide(view().get());
        hide(session.lastView.get());
        break;
    case CVUnlockType::Peel:
        releasePeel();
        break;
    case CVUnlockType::PullBadge:
        releaseBadge();
        break;
    default:
        break;  // rotate and the vault return when their recognisers end
    }
}

void CVAwayController::releaseDraggedImage() {
    const CVReleaseAnimation release = settings->releaseAnimation();
    const CVUnlockDirection direction = settings->unlockDirection();
    if (release == CVReleaseAnimation::SlideBack || direction == CVUnlockDirection::Any) {
        UIView::beginAnimations(nullptr, nullptr);
        UIView::setAnimationDelegate(this);
        UIView::setAnimationDidStopSelector(CVAwayControllerMessage::gestureFinishedAnimating.selector());
        UIView::setAnimationBeginsFromCurrentState(true);
        UIView::setAnimationDuration(kReturnSeconds);
        if (UIView* image = view().get()) {
            setOrigin(image, CGPointZero);
            image->setAlpha(1);
        }
        UIView::commitAnimations();
    } else if (release == CVReleaseAnimation::Elastic) {
        elasticReturn();
    }
    // Any other release leaves the image where the finger left it.
}

void CVAwayController::elasticReturn() {
    UIView* image = view().get();
    const CGRect frame = frameOf(image);
    // The rest centre and the swing come from the view's own rest frame, so that every screen
    // size swings about its own centre (on 320 × 480 this is (160, 240)).
    const CGPoint rest = {frame.size.width / 2, frame.size.height / 2};
    CGPoint d = CGPointZero;
    if (CVIsHorizontal(settings->unlockDirection())) {
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
