#include "tweak/session/VaultMode.h"

#include "platform/uikit/UIRotationGestureRecognizer.h"
#include "tweak/session/CVAwayController.h"
#include "tweak/session/ViewSteps.h"
#include "tweak/views/AddonViews.h"
#include "tweak/views/CVAwayView.h"

CVVaultMode& CVVaultMode::shared() {
    static CVVaultMode mode;
    return mode;
}

void CVVaultMode::buildAddon(CVAwayController& controller, UIWindow* window) {
    // Laid out for the screen as the status bar's orientation turns it.
    vaultView_ = CVMakeVault(controller.getCurrentScreenBoundsDependOnOrientation().size);
    if (window) window->addSubview(vaultView_);
    installRecognizer(controller,
                      std::make_shared<UIRotationGestureRecognizer>(
                          &controller, CVAwayControllerMessage::onVaultRotate.selector()));
}

void CVVaultMode::addAddonTo(CVAwayView& host) { host.addVault(); }

void CVVaultMode::leaveDisplay() { CVViewSteps::discard(vaultView_); }

void CVVaultMode::leaveLockScreen() {
    CVViewSteps::discard(vaultView_);
    CVRecognizerMode::leaveLockScreen();
}

void CVVaultMode::resetForTesting() {
    CVViewSteps::discard(vaultView_);
    CVRecognizerMode::resetForTesting();
}

void CVVaultMode::onVaultRotate(CVAwayController& controller, UIRotationGestureRecognizer* recognizer) {
    auto& session = CVSession();
    if (!takesGestureCallback(controller, recognizer)) return;
    // Held for the whole callback: the unlock below lets the dial go.
    const std::shared_ptr<UIImageView> vault = vaultView_;
    if (recognizer && recognizer->state() == UIGestureRecognizerStateEnded) {
        beginReturn(controller, CVAwayControllerMessage::gestureFinishedAnimating);
        if (vault) {
            vault->setTransform(CGAffineTransformMakeRotation(0));
            vault->setFrame(vault->frame());
        }
        UIView::commitAnimations();
        return;
    }
    const CGFloat rotation = recognizer ? recognizer->rotation() : 0;
    if (vault) vault->setTransform(CGAffineTransformMakeRotation(rotation));
    if (!pastTurnLimit(rotation)) return;
    // The dial stays turned while SpringBoard unlocks, passcode or not.
    session.isUnlocking = true;
    session.unlockRequestSent = true;
    if (vault) vault->setUserInteractionEnabled(false);
    controller.unlockWithoutAnimations();
    if (vault) vault->setUserInteractionEnabled(true);
}
