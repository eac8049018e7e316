#include "tweak/session/PullBadgeMode.h"

#include "platform/uikit/UIScreen.h"
#include "tweak/session/CVAwayController.h"
#include "tweak/session/SpringBoardCalls.h"
#include "tweak/session/ViewSteps.h"
#include "tweak/views/AddonGeometry.h"
#include "tweak/views/AddonViews.h"
#include "tweak/views/CVAwayView.h"
#include "tweak/views/CVTouchView.h"

#include <algorithm>

namespace {

using namespace CVViewSteps;

// How far the badge comes out, and the fixed limits of the image that follows it (the drag
// distance plays no part), in points.
struct BadgeThresholds {
    CGFloat pulledOutShowingInPoints = 88;  // how much of the badge shows once pulled out
    CGFloat badgeLongSideInPoints = 100;    // the badge's side along the pull
    double limitRightInPoints = 180, limitLeftInPoints = -180;
    double limitDownInPoints = 135, limitUpInPoints = -180;
    CGFloat slideOutMarginInPoints = 12;    // how far past the edge the image slides out
};
constexpr BadgeThresholds kBadge{};

constexpr double kImageBackSeconds = 0.5;
constexpr double kBadgeBackSeconds = 0.3;

CGRect screenBounds() {
    const UIScreen* screen = UIScreen::mainScreen();
    return screen ? screen->bounds() : CGRectZero;
}

// The badge's frame pulled one finger step further, but never past its pulled position; a push
// the other way is not limited.
CGRect pulled(CGRect badge, CGPoint step, CGSize screen, CVPullDirection direction) {
    const CGFloat showing = kBadge.pulledOutShowingInPoints;
    switch (direction) {
        case CVPullDirection::Up:
            if (badge.origin.y > screen.height - showing) {
                badge.origin.y = std::max(badge.origin.y + step.y, screen.height - showing);
            }
            break;
        case CVPullDirection::Right:
            if (badge.origin.x < showing - kBadge.badgeLongSideInPoints) {
                badge.origin.x = std::min(badge.origin.x + step.x, showing - kBadge.badgeLongSideInPoints);
            }
            break;
        case CVPullDirection::Left:
            if (badge.origin.x > screen.width - showing) {
                badge.origin.x = std::max(badge.origin.x + step.x, screen.width - showing);
            }
            break;
        default:
            break;
    }
    return badge;
}

bool isPulledOut(CGRect badge, CGSize screen, CVPullDirection direction) {
    const CGFloat showing = kBadge.pulledOutShowingInPoints;
    switch (direction) {
        case CVPullDirection::Up: return badge.origin.y <= screen.height - showing;
        case CVPullDirection::Right: return badge.origin.x >= showing - kBadge.badgeLongSideInPoints;
        case CVPullDirection::Left: return badge.origin.x <= screen.width - showing;
        default: return false;
    }
}

bool beyondBadgeLimits(CGPoint origin) {
    const double x = origin.x, y = origin.y;
    return x > kBadge.limitRightInPoints || x < kBadge.limitLeftInPoints ||
           y > kBadge.limitDownInPoints || y < kBadge.limitUpInPoints;
}

// Opens an animation block from the current state whose end sends `didStop` to `controller`.
void beginReturn(CVAwayController& controller, double seconds, const UIAnimationDidStopMessage& didStop) {
    UIView::beginAnimations(nullptr, nullptr);
    UIView::setAnimationBeginsFromCurrentState(true);
    UIView::setAnimationDuration(seconds);
    UIView::setAnimationDelegate(&controller);
    UIView::setAnimationDidStopSelector(didStop.selector());
}

}  // namespace

CVPullBadgeMode& CVPullBadgeMode::shared() {
    static CVPullBadgeMode mode;
    return mode;
}

CVSlideOut CVPullBadgeMode::slideOut(const CVSettings& settings) const {
    switch (settings.pullDirection()) {
        case CVPullDirection::Left:
        case CVPullDirection::Right:
            return {CVSlideOut::Way::Horizontal, kBadge.slideOutMarginInPoints};
        case CVPullDirection::Up:
            return {CVSlideOut::Way::Vertical, kBadge.slideOutMarginInPoints};
        default:
            return {CVSlideOut::Way::Nowhere, kBadge.slideOutMarginInPoints};
    }
}

void CVPullBadgeMode::buildAddon(CVAwayController& controller, UIWindow* window) {
    const CVSettings& settings = *controller.settings;
    badgeView_ = CVMakePullBadge(settings.pullDirection(), settings.badgeDesign(),
                                 settings.badgeColor(), screenBounds());
    if (!badgeView_) return;
    // The badge's own touch view: the display's only one.
    controller.touchView = controller.makeTouchView(badgeView_->frame());
    if (window) {
        window->addSubview(badgeView_);
        window->bringSubviewToFront(badgeView_.get());
    }
}

void CVPullBadgeMode::addAddonTo(CVAwayView& host) { host.addPullBadge(); }

void CVPullBadgeMode::leaveDisplay() { discard(badgeView_); }

void CVPullBadgeMode::leaveLockScreen() { discard(badgeView_); }

void CVPullBadgeMode::resetForTesting() { discard(badgeView_); }

void CVPullBadgeMode::touchesBegan(CVAwayController& controller, const UITouchSet* touches) {
    if (UIImageView* badge = badgeView_.get()) {
        badge->removeFromSuperview();
        if (controller.view()) controller.view()->addSubview(badgeView_);
    }
    if (UIWindow* window = windowOf(controller.awayView); window && controller.touchView) {
        window->bringSubviewToFront(controller.touchView.get());
    }
    controller.startPosition = locationOf(touches, badgeView_.get());
}

void CVPullBadgeMode::touchesMoved(CVAwayController& controller, const UITouchSet* touches) {
    auto& session = CVSession();
    const CVSettings& settings = *controller.settings;
    if (!settings.enabled() || session.isUnlocking) return;
    controller.awayView = CVAwayController::getAwayView();
    UIImageView* badge = badgeView_.get();
    UIView* image = controller.view().get();
    const UITouch* touch = anyTouch(touches);
    controller.currentPosition = touch ? touch->locationInView(badge) : CGPointZero;
    const CGPoint step = {controller.currentPosition.x - controller.startPosition.x,
                          controller.currentPosition.y - controller.startPosition.y};
    CGRect imageFrame = frameOf(image);
    const CGSize screen = imageFrame.size;
    const CVPullDirection direction = settings.pullDirection();
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
                                              settings.playUnlockSound());
        }
        beginReturn(controller, kImageBackSeconds, CVAwayControllerMessage::moveBadgeBackInPlace);
        setOrigin(image, CGPointZero);
        UIView::commitAnimations();
        return;
    }
    session.isUnlocking = true;
    session.unlockRequestSent = true;
    controller.previousPosition = touch ? touch->previousLocationInView(image) : CGPointZero;
    controller.moveOutAndUnlock();
}

void CVPullBadgeMode::touchesEnded(CVAwayController& controller) {
    beginReturn(controller, kImageBackSeconds, CVAwayControllerMessage::moveBadgeBackInPlace);
    setOrigin(controller.view().get(), CGPointZero);
    UIView::commitAnimations();
}

void CVPullBadgeMode::moveBadgeBackInPlace(CVAwayController& controller) {
    const CGSize screen = frameOf(controller.view().get()).size;
    beginReturn(controller, kBadgeBackSeconds, CVAwayControllerMessage::switchBadgeBackToAwayView);
    const CVSettings& settings = *controller.settings;
    const auto rest = CVBadgePlacementFor(settings.pullDirection(), settings.badgeDesign(),
                                          CGRect{CGPointZero, screen});
    if (rest && badgeView_) badgeView_->setFrame(rest->frame);
    UIView::commitAnimations();
}

void CVPullBadgeMode::switchBadgeBackToAwayView(CVAwayController& controller) {
    auto& session = CVSession();
    controller.awayView = CVAwayController::getAwayView();
    UIWindow* window = windowOf(controller.awayView);
    if (badgeView_) {
        badgeView_->removeFromSuperview();
        if (window) window->addSubview(badgeView_);
    }
    if (window && controller.touchView) window->bringSubviewToFront(controller.touchView.get());
    if (controller.view()) controller.view()->removeFromSuperview();
    if (session.lastView) session.lastView->removeFromSuperview();
}
