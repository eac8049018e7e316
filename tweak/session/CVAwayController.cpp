// The controller's class, its shared instance, its class methods and the messages that reach it
// through the method tables (animation did-stop selectors and recogniser actions), each handed
// to the mode whose animation or recogniser it is.

#include "tweak/session/CVAwayController.h"

#include "platform/uikit/UIPinchGestureRecognizer.h"
#include "platform/uikit/UIRotationGestureRecognizer.h"
#include "platform/uikit/UIViewAnimation.h"
#include "tweak/session/DragMode.h"
#include "tweak/session/PinchMode.h"
#include "tweak/session/PullBadgeMode.h"
#include "tweak/session/RotateMode.h"
#include "tweak/session/SpringBoardCalls.h"
#include "tweak/session/VaultMode.h"
#include "tweak/session/ViewSteps.h"
#include "tweak/views/ColorizeImage.h"

namespace {

// Did-stop selectors are sent with (animation identifier, finished, context); the controller's
// handlers ignore all three.
template <void (CVAwayController::*Handler)()>
void didStop(id self, SEL, const char*, bool, void*) {
    (static_cast<CVAwayController*>(self)->*Handler)();
}

// A recogniser's action, handed to the controller with the recogniser of its kind.
template <typename Recognizer, void (CVAwayController::*Handler)(Recognizer*)>
void gestureAction(id self, SEL, UIGestureRecognizer* recognizer) {
    (static_cast<CVAwayController*>(self)->*Handler)(objc_cast<Recognizer>(recognizer));
}

void curlAnimationDidStop(id self, SEL, CAAnimation* animation, bool finished) {
    static_cast<CVAwayController*>(self)->animationDidStop(animation, finished);
}

}  // namespace

Class CVAwayController::class_() {
    namespace message = CVAwayControllerMessage;
    static const Class cls = objc_defineClass(
        "CVAwayController", UIViewController::class_(),
        {message::gestureFinishedAnimating.implementedBy(
             &didStop<&CVAwayController::gestureFinishedAnimating>),
         message::customMovementFinishedAnimatingWithUnlock.implementedBy(
             &didStop<&CVAwayController::customMovementFinishedAnimatingWithUnlock>),
         message::unlockWithoutAnimations.implementedBy(
             &didStop<&CVAwayController::unlockWithoutAnimations>),
         message::gestureFinishedAnimatingWithUnlock.implementedBy(
             &didStop<&CVAwayController::gestureFinishedAnimatingWithUnlock>),
         message::moveBadgeBackInPlace.implementedBy(
             &didStop<&CVAwayController::moveBadgeBackInPlace>),
         message::switchBadgeBackToAwayView.implementedBy(
             &didStop<&CVAwayController::switchBadgeBackToAwayView>),
         message::onPinch.implementedBy(
             &gestureAction<UIPinchGestureRecognizer, &CVAwayController::onPinch>),
         message::onRotate.implementedBy(
             &gestureAction<UIRotationGestureRecognizer, &CVAwayController::onRotate>),
         message::onVaultRotate.implementedBy(
             &gestureAction<UIRotationGestureRecognizer, &CVAwayController::onVaultRotate>),
         CAAnimationDelegateMessage::animationDidStop.implementedBy(&curlAnimationDidStop)});
    return cls;
}

CVAwayController& CVAwayController::sharedCVAwayController() {
    // A function-local static is made once, under a lock, however many threads ask at once. The
    // controller is owned by a shared pointer that is never released, so that the touch views
    // it makes can hold it weakly.
    static const auto* shared = new std::shared_ptr<CVAwayController>(std::make_shared<CVAwayController>());
    return **shared;
}

CVAwayController::CVAwayController() : UIViewController(class_()) {
    settings = &CVSettings::sharedCVSettings();
}

UIView* CVAwayController::getAwayView() {
    CVSession().SBAwayController = objc_getClass("SBAwayController");
    return SpringBoardCalls::awayView(SpringBoardCalls::sharedAwayController());
}

bool CVAwayController::autoUnlock() { return CVSession().aUnlock; }

bool CVAwayController::deviceIsPassworded() {
    return SpringBoardCalls::deviceIsPassworded(CVSession().SBAwayController);
}

void CVAwayController::gestureFinishedAnimating() {
    CVViewSteps::hide(view().get());
    CVViewSteps::hide(CVSession().lastView.get());
}

void CVAwayController::customMovementFinishedAnimatingWithUnlock() {
    CVDragMode::shared().customMovementFinishedAnimatingWithUnlock(*this);
}

void CVAwayController::gestureFinishedAnimatingWithUnlock() {
    CVImageTransformMode::gestureFinishedAnimatingWithUnlock(*this);
}

void CVAwayController::moveBadgeBackInPlace() { CVPullBadgeMode::shared().moveBadgeBackInPlace(*this); }

void CVAwayController::switchBadgeBackToAwayView() {
    CVPullBadgeMode::shared().switchBadgeBackToAwayView(*this);
}

void CVAwayController::animationDidStop(CAAnimation* animation, bool finished) {
    if (animation && animation->completion()) animation->completion()(finished);
}

void CVAwayController::onPinch(UIPinchGestureRecognizer* recognizer) {
    CVPinchMode::shared().onPinch(*this, recognizer);
}

void CVAwayController::onRotate(UIRotationGestureRecognizer* recognizer) {
    CVRotateMode::shared().onRotate(*this, recognizer);
}

void CVAwayController::onVaultRotate(UIRotationGestureRecognizer* recognizer) {
    CVVaultMode::shared().onVaultRotate(*this, recognizer);
}

void CVAwayController::resetForTesting() {
    CVSessionResetForTesting();
    CVForEachUnlockMode([](CVUnlockMode& mode) { mode.resetForTesting(); });
    startPosition = currentPosition = previousPosition = velocity = CGPointZero;
}

UIImageRef CVAwayController::colorizeImage(const UIImageRef& image, const UIColorRef& color) const {
    return colorizeImageWithColor(image, color);
}

UIImageRef CVAwayController::imageWithColor(const UIColorRef& color, CGSize size) const {
    return imageWithColorAndSize(color, size);
}
