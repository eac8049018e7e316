#include "tweak/session/PinchMode.h"

#include "platform/uikit/UIPinchGestureRecognizer.h"
#include "tweak/session/CVAwayController.h"
#include "tweak/session/ViewSteps.h"

namespace {

// The scales past which a pinch unlocks, strictly.
struct PinchThresholds {
    float smallestScale = 0.5f;
    float largestScale = 2.0f;
};
constexpr PinchThresholds kPinch{};

}  // namespace

CVPinchMode& CVPinchMode::shared() {
    static CVPinchMode mode;
    return mode;
}

void CVPinchMode::buildAddon(CVAwayController& controller, UIWindow*) {
    installRecognizer(controller, std::make_shared<UIPinchGestureRecognizer>(
                                      &controller, CVAwayControllerMessage::onPinch.selector()));
}

void CVPinchMode::touchesEnded(CVAwayController& controller) {
    CVViewSteps::hide(controller.view().get());
    CVViewSteps::hide(CVSession().lastView.get());
}

void CVPinchMode::onPinch(CVAwayController& controller, UIPinchGestureRecognizer* recognizer) {
    if (!takesGestureCallback(controller, recognizer)) return;
    const CGFloat scale = recognizer ? recognizer->scale() : 0;
    followOrReturn(controller, recognizer, CGAffineTransformMakeScale(scale, scale),
                   scale < kPinch.smallestScale || scale > kPinch.largestScale);
}
