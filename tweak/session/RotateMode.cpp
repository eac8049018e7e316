#include "tweak/session/RotateMode.h"

#include "platform/uikit/UIRotationGestureRecognizer.h"
#include "tweak/session/CVAwayController.h"

CVRotateMode& CVRotateMode::shared() {
    static CVRotateMode mode;
    return mode;
}

void CVRotateMode::buildAddon(CVAwayController& controller, UIWindow*) {
    installRecognizer(controller, std::make_shared<UIRotationGestureRecognizer>(
                                      &controller, CVAwayControllerMessage::onRotate.selector()));
}

void CVRotateMode::onRotate(CVAwayController& controller, UIRotationGestureRecognizer* recognizer) {
    if (!takesGestureCallback(controller, recognizer)) return;
    const CGFloat rotation = recognizer ? recognizer->rotation() : 0;
    followOrReturn(controller, recognizer, CGAffineTransformMakeRotation(rotation),
                   pastTurnLimit(rotation));
}
