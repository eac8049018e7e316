#pragma once

// The vault: two fingers turn a dial over the lock screen, which stays where it is; past 1.57
// radians either way the device unlocks at once, passcode or not, and the dial stays turned.
// Released short of it, the dial turns back.

#include "tweak/session/RecognizerMode.h"

#include <memory>

class UIImageView;
class UIRotationGestureRecognizer;

class CVVaultMode final : public CVRecognizerMode {
public:
    static CVVaultMode& shared();

    // The dial of the current display; nil when none.
    UIImageView* vaultView() const { return vaultView_.get(); }
    void setVaultViewForTesting(std::shared_ptr<UIImageView> view) { vaultView_ = std::move(view); }

    bool movesSnapshot() const override { return false; }
    // The dial in the lock-screen window, and a rotation recogniser sending onVaultRotate:.
    void buildAddon(CVAwayController& controller, UIWindow* window) override;
    void addAddonTo(CVAwayView& host) override;
    void leaveDisplay() override;
    void leaveLockScreen() override;
    void resetForTesting() override;
    // onVaultRotate:.
    void onVaultRotate(CVAwayController& controller, UIRotationGestureRecognizer* recognizer);

private:
    std::shared_ptr<UIImageView> vaultView_;
};
