// Page-peel mode: the lock-screen image stays in place and bends like a page toward the finger.
// The curl amount grows with the finger's distance from where it came down; once the amount left
// by the previous move has reached the turn distance, the next move in an accepted direction
// curls the page away and unlocks, or, on a passcode device, asks for the unlock and curls back.

#include "tweak/session/CVAwayController.h"

#include "platform/quartz/CABasicAnimation.h"
#include "platform/quartz/CAFilter.h"
#include "platform/uikit/UITouch.h"
#include "tweak/session/SpringBoardCalls.h"

#include <cmath>
#include <numbers>

namespace {

constexpr double kCurlAwaySeconds = 0.25;
constexpr double kCurlBackSeconds = 0.75;
constexpr const char* kCurlTimeKeyPath = "filters.pageCurl.inputTime";
constexpr const char* kCurlAway = "curlAway";
constexpr const char* kCurlBack = "curlBack";

// Whether `pageTurnDirection` accepts a curl toward `degrees` (0 straight right, 180 straight
// left, up and down not told apart).
bool acceptsCurl(CVPageTurnDirection direction, float degrees) {
    switch (direction) {
        case CVPageTurnDirection::Left: return degrees > 120 && degrees < 180;
        case CVPageTurnDirection::Right: return degrees > 0 && degrees < 60;
        case CVPageTurnDirection::Any: return true;
        default: return false;
    }
}

// Whether `pageTurnDirection` lets a finger `dx` points right of where it came down finish.
bool acceptsFinish(CVPageTurnDirection direction, float dx) {
    switch (direction) {
        case CVPageTurnDirection::Left: return dx < 0;
        case CVPageTurnDirection::Right: return dx > 0;
        case CVPageTurnDirection::Any: return true;
        default: return false;
    }
}

float filterInput(const CAFilter* filter, const char* key) {
    return filter ? CAValueFloatValue(filter->valueForKey(key)) : 0.0f;
}

void hide(UIView* view) {
    if (view) view->setHidden(true);
}

}  // namespace

void CVAwayController::peelLockscreenWithTouch(const UITouchSet* touches) {
    auto& session = CVSession();
    if (!settings->enabled() || session.isUnlocking) return;
    const UITouch* touch = touches ? touches->anyObject() : nullptr;
    const CGPoint p = touch ? touch->locationInView(view().get()) : CGPointZero;
    const float dx = p.x - lastPos.x, dy = p.y - lastPos.y;
    const float distance = std::sqrt(dx * dx + dy * dy);
    session.fingerDelta = distance * 0.5f;
    // The amount the previous move left decides, not the one this move is about to set.
    const float amount = filterInput(session.curlFilter.get(), "inputTime");
    if (static_cast<double>(amount) >= settings->turnDistance()) {
        finishPeel(dx);
        return;
    }
    session.curlFilter = CAFilter::filterWithType(kCAFilterPageCurl);
    session.curlFilter->setDefaults();
    session.curlFilter->setValue(
        static_cast<double>(static_cast<float>(std::trunc(session.fingerDelta) / 100.0)),
        "inputTime");
    // A move back onto the touch-down point has no direction: it counts as straight right.
    const float theta = distance > 0 ? std::acos(dx / distance) : 0.0f;
    const auto degrees = static_cast<float>(static_cast<float>(theta * 180) / std::numbers::pi);
    // A curl the direction does not accept keeps its amount for the next move's decision, but is
    // not shown: the page keeps the last accepted curl.
    if (!acceptsCurl(settings->pageTurnDirection(), degrees)) return;
    session.curlFilter->setValue(static_cast<double>(dy > 0 ? theta : -theta), "inputAngle");
    if (UIView* image = view().get()) image->layer()->setFilters({session.curlFilter});
}

void CVAwayController::finishPeel(float dx) {
    auto& session = CVSession();
    if (!acceptsFinish(settings->pageTurnDirection(), dx)) return;
    UIView* image = view().get();
    if (image) image->setUserInteractionEnabled(false);
    if (session.devicePassworded) {
        // Each finishing move curls the page back, but the gesture asks for its unlock once.
        if (!session.unlockRequestSent) {
            session.unlockRequestSent = true;
            SpringBoardCalls::unlockWithSoundVersioned(SpringBoardCalls::sharedAwayControllerIfExists(),
                                                       settings->playUnlockSound());
        }
        addCurlAnimation(kCurlBack, 0.0, kCurlBackSeconds, kCAFillModeForwards, true);
        if (session.curlFilter) session.curlFilter->setValue(0.0, "inputTime");
        return;
    }
    // The page curls away once: started again by a later move it would jump back and end, and
    // unlock, a second time.
    if (session.unlockRequestSent) return;
    session.unlockRequestSent = true;
    addCurlAnimation(kCurlAway, 1.0, kCurlAwaySeconds, kCAFillModeForwards, false);
}

void CVAwayController::releasePeel() {
    auto& session = CVSession();
    UIView* image = view().get();
    if (filterInput(session.curlFilter.get(), "inputAngle") != 0) {
        if (image) image->setUserInteractionEnabled(false);
        addCurlAnimation(kCurlBack, 0.0, kCurlBackSeconds, kCAFillModeBackwards, false);
        return;
    }
    if (image) image->layer()->setFilters({});
    if (session.curlFilter) session.curlFilter->setValue(0.0, "inputTime");
    hide(image);
    hide(session.lastView.get());
}

void CVAwayController::addCurlAnimation(const char* identifier, double to, double seconds,
                                        CAFillMode fill, bool removedOnCompletion) {
    auto animation = CABasicAnimation::animationWithKeyPath(kCurlTimeKeyPath);
    animation->setValue(std::string(identifier), "id");
    animation->setFromValue(
        static_cast<double>(filterInput(CVSession().curlFilter.get(), "inputTime")));
    animation->setToValue(to);
    animation->setDuration(seconds);
    animation->setFillMode(fill);
    animation->setRemovedOnCompletion(removedOnCompletion);
    animation->setDelegate(this);
    animation->setTimingFunction(CAMediaTimingFunction::functionWithName(kCAMediaTimingFunctionLinear));
    if (UIView* image = view().get()) {
        image->layer()->addAnimation(animation, std::string(identifier) + "Animation");
    }
}

void CVAwayController::animationDidStop(CAAnimation* animation, bool) {
    const std::string identifier = animation ? CAValueStringValue(animation->valueForKey("id")) : "";
    if (identifier == kCurlBack) {
        hide(view().get());
        hide(CVSession().lastView.get());
    } else if (identifier == kCurlAway) {
        unlockWithoutAnimations();
    }
}
