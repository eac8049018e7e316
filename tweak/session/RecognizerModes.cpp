// The gestures that recognisers drive: pinch and rotate transform the lock-screen image, the
// vault turns only its dial. Each follows the fingers; past its limit it unlocks, and when the
// fingers lift the image returns to rest.

#include "tweak/session/CVAwayController.h"

#include "platform/uikit/UIPinchGestureRecognizer.h"
#include "platform/uikit/UIRotationGestureRecognizer.h"

namespace {

constexpr float kPinchSmallest = 0.5f, kPinchLargest = 2.0f;
// Not π/2: the rotation, a float, is widened and compared with the double 1.57.
constexpr double kRotationLimit = 1.57;
constexpr double kReturnSeconds = 0.5;

bool pastRotationLimit(CGFloat rotation) {
    const double r = rotation;
    return r < -kRotationLimit || r > kRotationLimit;
}

// Opens the 0.5 s block from the current state whose end sends `didStop` to `controller`.
void beginReturn(CVAwayController* controller, const UIAnimationDidStopMessage& didStop) {
    UIView::beginAnimations(nullptr, nullptr);
    UIView::setAnimationDelegate(controller);
    UIView::setAnimationDidStopSelector(didStop.selector());
    UIView::setAnimationBeginsFromCurrentState(true);
    UIView::setAnimationDuration(kReturnSeconds);
}

// Inside a block: the image untransformed, at the origin, its size kept.
void putAtRest(UIView* image) {
    if (!image) return;
    image->setTransform(CGAffineTransformIdentity);
    CGRect frame = image->frame();
    frame.origin = CGPointZero;
    image->setFrame(frame);
}

void hide(UIView* view) {
    if (view) view->setHidden(true);
}

}  // namespace

bool CVAwayController::takesGestureCallback(const UIGestureRecognizer* recognizer) {
    auto& session = CVSession();
    if (!settings->enabled() || session.isUnlocking) return false;
    // A new pair of fingers is a new gesture, with an unlock of its own to ask for.
    if (recognizer && recognizer->state() == UIGestureRecognizerStateBegan) {
        session.unlockRequestSent = false;
    }
    return true;
}

void CVAwayController::onPinch(UIPinchGestureRecognizer* recognizer) {
    if (!takesGestureCallback(recognizer)) return;
    const CGFloat scale = recognizer ? recognizer->scale() : 0;
    followOrReturn(recognizer, CGAffineTransformMakeScale(scale, scale),
                   scale < kPinchSmallest || scale > kPinchLargest);
}

void CVAwayController::onRotate(UIRotationGestureRecognizer* recognizer) {
    if (!takesGestureCallback(recognizer)) return;
    const CGFloat rotation = recognizer ? recognizer->rotation() : 0;
    followOrReturn(recognizer, CGAffineTransformMakeRotation(rotation),
                   pastRotationLimit(rotation));
}

void CVAwayController::followOrReturn(const UIGestureRecognizer* recognizer,
                                      CGAffineTransform transform, bool pastLimit) {
    auto& session = CVSession();
    // Held for the whole callback: an unlock without animations lets the session's views go.
    const std::shared_ptr<UIView> image = view();
    if (recognizer && recognizer->state() == UIGestureRecognizerStateEnded) {
        beginReturn(this, CVAwayControllerMessage::gestureFinishedAnimating);
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
        beginReturn(this, CVAwayControllerMessage::gestureFinishedAnimatingWithUnlock);
        putAtRest(image.get());
        UIView::commitAnimations();
        return;
    }
    // Without a passcode the image stays transformed while SpringBoard unlocks; every further
    // callback past the limit would unlock again, so the gesture asks once.
    if (session.unlockRequestSent) return;
    session.unlockRequestSent = true;
    if (image) image->setUserInteractionEnabled(false);
    unlockWithoutAnimations();
    if (image) image->setUserInteractionEnabled(true);
}

void CVAwayController::onVaultRotate(UIRotationGestureRecognizer* recognizer) {
    auto& session = CVSession();
    if (!takesGestureCallback(recognizer)) return;
    // Held for the whole callback: the unlock below lets the session's vault go.
    const std::shared_ptr<UIImageView> vault = session.vaultView;
    if (recognizer && recognizer->state() == UIGestureRecognizerStateEnded) {
        beginReturn(this, CVAwayControllerMessage::gestureFinishedAnimating);
        if (vault) {
            vault->setTransform(CGAffineTransformMakeRotation(0));
            vault->setFrame(vault->frame());
        }
        UIView::commitAnimations();
        return;
    }
    const CGFloat rotation = recognizer ? recognizer->rotation() : 0;
    if (vault) vault->setTransform(CGAffineTransformMakeRotation(rotation));
    if (!pastRotationLimit(rotation)) return;
    // The dial stays turned while SpringBoard unlocks, passcode or not.
    session.isUnlocking = true;
    session.unlockRequestSent = true;
    if (vault) vault->setUserInteractionEnabled(false);
    unlockWithoutAnimations();
    if (vault) vault->setUserInteractionEnabled(true);
}

void CVAwayController::gestureFinishedAnimating() {
    hide(view().get());
    hide(CVSession().lastView.get());
}

void CVAwayController::gestureFinishedAnimatingWithUnlock() {
    auto& session = CVSession();
    session.isUnlocking = false;
    hide(view().get());
    hide(session.lastView.get());
    // A gesture that crosses again after springing back springs back again, but has asked.
    if (session.unlockRequestSent) return;
    session.unlockRequestSent = true;
    unlockWithoutAnimations();
}
