#pragma once

// The transparent overlay: SpringBoard's lock screen stays in place and a translucent black
// overlay over it follows the finger; past the drag limits it slides back and the unlock is
// asked for at once.

#include "tweak/session/CVUnlockMode.h"

#include <memory>

class UIView;

class CVOverlayMode final : public CVUnlockMode {
public:
    static CVOverlayMode& shared();

    // The overlay of the current display; nil when none.
    UIView* transparentOverlayView() const { return transparentOverlayView_.get(); }

    bool movesSnapshot() const override { return false; }
    void buildAddon(CVAwayController& controller, UIWindow* window) override;
    void addAddonTo(CVAwayView& host) override;
    void leaveDisplay() override;
    void leaveLockScreen() override;
    void touchesBegan(CVAwayController& controller, const UITouchSet* touches) override;
    // moveTransparentOverlayWithTouch:.
    void touchesMoved(CVAwayController& controller, const UITouchSet* touches) override;
    void touchesEnded(CVAwayController& controller) override;
    void resetForTesting() override;

private:
    std::shared_ptr<UIView> transparentOverlayView_;
};
