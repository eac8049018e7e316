#include "tweak/session/RecognizerMode.h"

#include "platform/uikit/UIGestureRecognizer.h"
#include "tweak/session/CVAwayController.h"
#include "tweak/session/ViewSteps.h"

namespace {

constexpr double kReturnSeconds = 0.5;
// Not π/2: the rotation, a float, is widened and compared with the double 1.57.
constexpr double kTurnLimitInRadians = 1.57;

}  // namespace

void CVRecognizerMode::leaveLockScreen() { CVViewSteps::discardRecognizer(recognizer_); }

void CVRecognizerMode::resetForTesting() { CVViewSteps::discardRecognizer(recognizer_); }

void CVRecognizerMode::installRecognizer(CVAwayController& controller,
                                         std::shared_ptr<UIGestureRecognizer> recognizer) {
    CVViewSteps::discardRecognizer(recognizer_);
    recognizer_ = std::move(recognizer);
    if (controller.touchView) controller.touchView->addGestureRecognizer(recognizer_);
}

bool CVRecognizerMode::takesGestureCallback(const CVAwayController& controller,
                                            const UIGestureRecognizer* recognizer) {
    auto& session = CVSession();
    if (!controller.settings->enabled() || session.isUnlocking) return false;
    if (recognizer && recognizer->state() == UIGestureRecognizerStateBegan) {
        session.unlockRequestSent = false;
    }
    return true;
}

bool CVRecognizerMode::pastTurnLimit(CGFloat rotation) {
    const double r = rotation;
    return r < -kTurnLimitInRadians || r > kTurnLimitInRadians;
}

void CVRecognizerMode::beginReturn(CVAwayController& controller,
                                   const UIAnimationDidStopMessage& didStop) {
    UIView::beginAnimations(nullptr, nullptr);
    UIView::setAnimationDelegate(&controller);
    UIView::setAnimationDidStopSelector(didStop.selector());
    UIView::setAnimationBeginsFromCurrentState(true);
    UIView::setAnimationDuration(kReturnSeconds);
}
