#include "tweak/session/ImageTransformMode.h"

#include "platform/uikit/UIGestureRecognizer.h"
#include "tweak/session/CVAwayController.h"
#include "tweak/session/ViewSteps.h"

namespace {

using namespace CVViewSteps;

// Inside a block: the image untransformed, at the origin, its size kept.
void putAtRest(UIView* image) {
    if (!image) return;
    image->setTransform(CGAffineTransformIdentity);
    setOrigin(image, CGPointZero);
}

}  // namespace

void CVImageTransformMode::followOrReturn(CVAwayController& controller,
                                          const UIGestureRecognizer* recognizer,
                                          CGAffineTransform transform, bool pastLimit) {
    auto& session = CVSession();
    // Held for the whole callback: an unlock without animations lets the session's views go.
    const std::shared_ptr<UIView> image = controller.view();
    if (recognizer && recognizer->state() == UIGestureRecognizerStateEnded) {
        beginReturn(controller, CVAwayControllerMessage::gestureFinishedAnimating);
        putAtRest(image.get());
        UIView::commitAnimations();
        return;
    }
    // Began, changed, and a cancelled or failed recogniser alike: the image follows.
    if (image) image->setTransform(transform);
    if (!pastLimit) return;
    if (session.devicePassworded) {
        // The image springs back before the unlock is asked for.
        session.isUnlocking = true;
        beginReturn(controller, CVAwayControllerMessage::gestureFinishedAnimatingWithUnlock);
        putAtRest(image.get());
        UIView::commitAnimations();
        return;
    }
    // Without a passcode the image stays transformed while SpringBoard unlocks; every further
    // callback past the limit would unlock again, so the gesture asks once.
    if (session.unlockRequestSent) return;
    session.unlockRequestSent = true;
    if (image) image->setUserInteractionEnabled(false);
    controller.unlockWithoutAnimations();
    if (image) image->setUserInteractionEnabled(true);
}

void CVImageTransformMode::gestureFinishedAnimatingWithUnlock(CVAwayController& controller) {
    auto& session = CVSession();
    session.isUnlocking = false;
    hide(controller.view().get());
    hide(session.lastView.get());
    // A gesture that crosses again after springing back springs back again, but has asked.
    if (session.unlockRequestSent) return;
    session.unlockRequestSent = true;
    controller.unlockWithoutAnimations();
}
