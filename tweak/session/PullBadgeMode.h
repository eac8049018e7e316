#pragma once

// The pull badge: the badge rests half off a screen edge. A finger on it pulls it out until 88
// points of it show; from then on the whole lock-screen image, with the badge inside it, follows
// the finger along the pull axis, and past fixed limits the device unlocks. Released short of
// them, the image goes back, then the badge, then the images are taken away.

#include "tweak/session/CVUnlockMode.h"

#include <memory>

class UIImageView;

class CVPullBadgeMode final : public CVUnlockMode {
public:
    static CVPullBadgeMode& shared();

    // The badge of the current display; nil when none.
    UIImageView* badgeView() const { return badgeView_.get(); }

    // The badge's own touch view takes every touch on the badge.
    bool capturesPassiveBackground() const override { return false; }
    // Off the screen on the pull axis, a margin past the edge.
    CVSlideOut slideOut(const CVSettings& settings) const override;
    void buildAddon(CVAwayController& controller, UIWindow* window) override;
    void addAddonTo(CVAwayView& host) override;
    void leaveDisplay() override;
    void leaveLockScreen() override;
    // The badge moves into the snapshot view.
    void touchesBegan(CVAwayController& controller, const UITouchSet* touches) override;
    // moveBadgeWithTouch:.
    void touchesMoved(CVAwayController& controller, const UITouchSet* touches) override;
    // The image goes back to rest, then the badge (moveBadgeBackInPlace).
    void touchesEnded(CVAwayController& controller) override;
    void resetForTesting() override;

    // The two steps of the badge's return: back to its edge, then back into the window.
    void moveBadgeBackInPlace(CVAwayController& controller);
    void switchBadgeBackToAwayView(CVAwayController& controller);

private:
    std::shared_ptr<UIImageView> badgeView_;
};
