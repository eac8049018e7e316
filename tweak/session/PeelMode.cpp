#include "tweak/session/PeelMode.h"

#include "platform/quartz/CABasicAnimation.h"
#include "platform/quartz/CAFilter.h"
#include "tweak/session/CVAwayController.h"
#include "tweak/session/SpringBoardCalls.h"
#include "tweak/session/ViewSteps.h"

#include <cmath>
#include <numbers>

namespace {

using namespace CVViewSteps;

constexpr double kCurlAwaySeconds = 0.25;
constexpr double kCurlBackSeconds = 0.75;
constexpr const char* kCurlTimeKeyPath = "filters.pageCurl.inputTime";
// The names the curl animations go by: their "id" and, with "Animation", their key on the layer.
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

// Adds the curl animation `identifier` on the page's curl amount, from the filter's amount now to
// `to`, under the key "<identifier>Animation"; the controller is its delegate, and `completion`
// is what its end does.
void addCurlAnimation(CVAwayController& controller, const CAFilter* filter, const char* identifier,
                      double to, double seconds, CAFillMode fill, bool removedOnCompletion,
                      CAAnimation::Completion completion) {
    auto animation = CABasicAnimation::animationWithKeyPath(kCurlTimeKeyPath);
    animation->setValue(std::string(identifier), "id");
    animation->setFromValue(static_cast<double>(filterInput(filter, "inputTime")));
    animation->setToValue(to);
    animation->setDuration(seconds);
    animation->setFillMode(fill);
    animation->setRemovedOnCompletion(removedOnCompletion);
    animation->setDelegate(&controller);
    animation->setCompletion(std::move(completion));
    animation->setTimingFunction(CAMediaTimingFunction::functionWithName(kCAMediaTimingFunctionLinear));
    if (UIView* image = controller.view().get()) {
        image->layer()->addAnimation(animation, std::string(identifier) + "Animation");
    }
}

}  // namespace

CVPeelMode& CVPeelMode::shared() {
    static CVPeelMode mode;
    return mode;
}

void CVPeelMode::leaveLockScreen() { curlFilter_.reset(); }

void CVPeelMode::resetForTesting() {
    curlFilter_.reset();
    fingerDelta_ = 0;
    lastPos_ = CGPointZero;
}

void CVPeelMode::touchesBegan(CVAwayController& controller, const UITouchSet* touches) {
    lastPos_ = locationOf(touches, controller.touchView.get());
}

void CVPeelMode::touchesMoved(CVAwayController& controller, const UITouchSet* touches) {
    const CVSettings& settings = *controller.settings;
    if (!settings.enabled() || CVSession().isUnlocking) return;
    const CGPoint p = locationOf(touches, controller.view().get());
    const float dx = p.x - lastPos_.x, dy = p.y - lastPos_.y;
    const float distance = std::sqrt(dx * dx + dy * dy);
    fingerDelta_ = distance * 0.5f;
    // The amount the previous move left decides, not the one this move is about to set.
    const float amount = filterInput(curlFilter_.get(), "inputTime");
    if (static_cast<double>(amount) >= settings.turnDistance()) {
        finishPeel(controller, dx);
        return;
    }
    curlFilter_ = CAFilter::filterWithType(kCAFilterPageCurl);
    curlFilter_->setDefaults();
    curlFilter_->setValue(
        static_cast<double>(static_cast<float>(std::trunc(fingerDelta_) / 100.0)), "inputTime");
    // A move back onto the touch-down point has no direction: it counts as straight right.
    const float theta = distance > 0 ? std::acos(dx / distance) : 0.0f;
    const auto degrees = static_cast<float>(static_cast<float>(theta * 180) / std::numbers::pi);
    // A curl the direction does not accept keeps its amount for the next move's decision, but is
    // not shown: the page keeps the last accepted curl.
    if (!acceptsCurl(settings.pageTurnDirection(), degrees)) return;
    curlFilter_->setValue(static_cast<double>(dy > 0 ? theta : -theta), "inputAngle");
    if (UIView* image = controller.view().get()) image->layer()->setFilters({curlFilter_});
}

void CVPeelMode::finishPeel(CVAwayController& controller, float dx) {
    auto& session = CVSession();
    if (!acceptsFinish(controller.settings->pageTurnDirection(), dx)) return;
    if (UIView* image = controller.view().get()) image->setUserInteractionEnabled(false);
    if (session.devicePassworded) {
        // Each finishing move curls the page back, but the gesture asks for its unlock once.
        if (!session.unlockRequestSent) {
            session.unlockRequestSent = true;
            SpringBoardCalls::unlockWithSoundVersioned(SpringBoardCalls::sharedAwayControllerIfExists(),
                                                       controller.settings->playUnlockSound());
        }
        curlBack(controller, CurlBack::AfterPasscodeFinish);
        if (curlFilter_) curlFilter_->setValue(0.0, "inputTime");
        return;
    }
    // The page curls away once: started again by a later move it would jump back and end, and
    // unlock, a second time.
    if (session.unlockRequestSent) return;
    session.unlockRequestSent = true;
    curlAway(controller);
}

void CVPeelMode::touchesEnded(CVAwayController& controller) {
    UIView* image = controller.view().get();
    if (filterInput(curlFilter_.get(), "inputAngle") != 0) {
        if (image) image->setUserInteractionEnabled(false);
        curlBack(controller, CurlBack::AfterRelease);
        return;
    }
    if (image) image->layer()->setFilters({});
    if (curlFilter_) curlFilter_->setValue(0.0, "inputTime");
    hide(image);
    hide(CVSession().lastView.get());
}

void CVPeelMode::curlAway(CVAwayController& controller) {
    addCurlAnimation(controller, curlFilter_.get(), kCurlAway, 1.0, kCurlAwaySeconds,
                     kCAFillModeForwards, false,
                     [&controller](bool) { controller.unlockWithoutAnimations(); });
}

void CVPeelMode::curlBack(CVAwayController& controller, CurlBack why) {
    const bool finish = why == CurlBack::AfterPasscodeFinish;
    addCurlAnimation(controller, curlFilter_.get(), kCurlBack, 0.0, kCurlBackSeconds,
                     finish ? kCAFillModeForwards : kCAFillModeBackwards, finish,
                     [&controller](bool) {
                         hide(controller.view().get());
                         hide(CVSession().lastView.get());
                     });
}
