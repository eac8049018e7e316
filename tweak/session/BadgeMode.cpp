// Pull-badge mode: the badge rests half off a screen edge. A finger on it pulls it out until 88
// points of it show; from then on the whole lock-screen image, with the badge inside it, follows
// the finger along the pull axis, and past fixed limits the device unlocks. Released short of
// them, the image goes back, then the badge, then the images are taken away.

#include "tweak/session/CVAwayController.h"

#include "platform/uikit/UITouch.h"
#include "platform/uikit/UIWindow.h"
#include "tweak/session/SpringBoardCalls.h"
#include "tweak/views/AddonGeometry.h"

#include <algorithm>

namespace {

constexpr CGFloat kPulledShowing = 88;  // how much of the badge shows once it is pulled out
constexpr CGFloat kBadgeLong = 100;     // the badge's side along the pull
constexpr double kLimitRight = 180, kLimitLeft = -180, kLimitDown = 135, kLimitUp = -180;
constexpr double kImageBackSeconds = 0.5;
constexpr double kBadgeBackSeconds = 0.3;

// The badge's frame pulled one finger step further, but never past its pulled position; a push
// the other way is not limited.
CGRect pulled(CGRect badge, CGPoint step, CGSize screen, CVPullDirection direction) {
    switch (direction) {
        case CVPullDirection::Up:
            if (badge.origin.y > screen.height - kPulledShowing) {
                badge.origin.y = std::max(badge.origin.y + step.y, screen.height - kPulledShowing);
            }
            break;
        case CVPullDirection::Right:
            if (badge.origin.x < kPulledShowing - kBadgeLong) {
                badge.origin.x = std::min(badge.origin.x + step.x, kPulledShowing - kBadgeLong);
            }
            break;
        case CVPullDirection::Left:
            if (badge.origin.x > screen.width - kPulledShowing) {
                badge.origin.x = std::max(badge.origin.x + step.x, screen.width - kPulledShowing);
            }
            break;
        default:
            break;
    }
    return badge;
}

bool isPulledOut(CGRect badge, CGSize screen, CVPullDirection direction) {
    switch (direction) {
        case CVPullDirection::Up: return badge.origin.y <= screen.height - kPulledShowing;
        case CVPullDirection::Right: return badge.origin.x >= kPulledShowing - kBadgeLong;
        case CVPullDirection::Left: return badge.origin.x <= screen.width - kPulledShowing;
        default: return false;
    }
}

bool beyondBadgeLimits(CGPoint origin) {
    const double x = origin.x, y = origin.y;
    return x > kLimitRight || x < kLimitLeft || y > kLimitDown || y < kLimitUp;
}

// Opens an animation block from the current state whose end sends `didStop` to `controller`.
void beginReturn(CVAwayController* controller, double seconds, const UIAnimationDidStopMessage& didStop) {
    UIView::beginAnimations(nullptr, nullptr);
    UIView::setAnimationBeginsFromCurrentState(true);
    UIView::setAnimationDuration(seconds);
    UIView::setAnimationDelegate(controller);
    UIView::setAnimationDidStopSelector(didStop.selector());
}

void setOrigin(UIView* view, CGPoint origin) {
    if (!view) return;
    CGRect frame = view->frame();
    frame.origin = origin;
    view->setFrame(frame);
}

}  // namespace

void CVAwayController::grabBadge(const UITouchSet* touches) {
    auto& session = CVSession();
    UIImageView* badge = session.badgeView.get();
    if (badge) {
        badge->removeFromSuperview();
        if (view()) view()->addSubview(session.badgeView);
    }
    if (UIWindow* window = awayView ? awayView->window() : nullptr; window && touchView) {
        window->bringSubviewToFront(touchView.get());
    }
    const UITouch* touch = touches ? touches->anyObject() : nullptr;
    startPosition = touch ? touch->locationInView(badge) : CGPointZero;
}

void CVAwayController::moveBadgeWithTouch(const UITouchSet* touches) {
    auto& session = CVSession();
    if (!settings->enabled() || session.isUnlocking) return;
    awayView = getAwayView();
    UIImageView* badge = session.badgeView.get();
    UIView* image = view().get();
    const UITouch* touch = touches ? touches->anyObject() : nullptr;
    currentPosition = touch ? touch->locationInView(badge) : CGPointZero;
    const CGPoint step = {currentPosition.x - startPosition.x, currentPosition.y - startPosition.y};
    CGRect imageFrame = frameOf(image);
    const CGSize screen = imageFrame.size;
    const CVPullDirection direction = settings->pullDirection();
    const CGRect badgeFrame = pulled(frameOf(badge), step, screen, direction);
    if (badge) badge->setFrame(badgeFrame);
    if (!isPulledOut(badgeFrame, screen, direction)) return;

    // Pulled out: the image, badge and all, follows the finger along the pull axis.
    if (direction == CVPullDirection::Up) {
        imageFrame.origin.y += step.y;
    } else {
        imageFrame.origin.x += step.x;
    }
    if (image) image->setFrame(imageFrame);
    if (!beyondBadgeLimits(imageFrame.origin)) return;

    if (session.devicePassworded) {
        // Each later move beyond the limits sends the image back again, but the gesture asks
        // for its unlock once.
        if (!session.unlockRequestSent) {
            session.unlockRequestSent = true;
            SpringBoardCalls::unlockWithSound(SpringBoardCalls::sharedAwayControllerIfExists(),
                                              settings->playUnlockSound());
        }
        beginReturn(this, kImageBackSeconds, CVAwayControllerMessage::moveBadgeBackInPlace);
        setOrigin(image, CGPointZero);
        UIView::commitAnimations();
        return;
    }
    session.isUnlocking = true;
    session.unlockRequestSent = true;
    previousPosition = touch ? touch->previousLocationInView(image) : CGPointZero;
    moveOutAndUnlock();
}

void CVAwayController::releaseBadge() {
    beginReturn(this, kImageBackSeconds, CVAwayControllerMessage::moveBadgeBackInPlace);
    setOrigin(view().get(), CGPointZero);
    UIView::commitAnimations();
}

void CVAwayController::moveBadgeBackInPlace() {
    const CGSize screen = frameOf(view().get()).size;
    beginReturn(this, kBadgeBackSeconds, CVAwayControllerMessage::switchBadgeBackToAwayView);
    const auto rest = CVBadgePlacementFor(settings->pullDirection(), settings->badgeDesign(),
                                          CGRect{CGPointZero, screen});
    UIImageView* badge = CVSession().badgeView.get();
    if (rest && badge) badge->setFrame(rest->frame);
    UIView::commitAnimations();
}

void CVAwayController::switchBadgeBackToAwayView() {
    auto& session = CVSession();
    awayView = getAwayView();
    UIWindow* window = awayView ? awayView->window() : nullptr;
    if (session.badgeView) {
        session.badgeView->removeFromSuperview();
        if (window) window->addSubview(session.badgeView);
    }
    if (window && touchView) window->bringSubviewToFront(touchView.get());
    if (view()) view()->removeFromSuperview();
    if (session.lastView) session.lastView->removeFromSuperview();
}
