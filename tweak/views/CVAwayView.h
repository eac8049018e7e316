#pragma once

// The still image of the lock screen that the unlock gestures drag, peel, pinch, rotate or pull.
// It can carry the add-on of the chosen unlock type (the transparent overlay, the pull badge or
// the vault dial) as subviews of its own.

#include "platform/uikit/UIColor.h"
#include "platform/uikit/UIImage.h"
#include "platform/uikit/UIImageView.h"
#include "platform/uikit/UIView.h"

#include <memory>

class CVSettings;

class CVAwayView : public UIImageView {
public:
    CV_DECLARE_CLASS()

    // initWithImage:: a plain snapshot view showing `image`, framed at the origin with its size;
    // no settings and no add-ons. Nil for a view that could not be made.
    static std::shared_ptr<CVAwayView> createWithImage(UIImageRef image);
    // A new view sent initWithSnapshot: `snapshot`; nil when that answers nil.
    static std::shared_ptr<CVAwayView> createWithSnapshot(UIImageRef snapshot);

    // Made without an image; send it initWithSnapshot: (or use one of the create functions).
    CVAwayView();

    // Initialises as an image view showing `snapshot`, takes the shared settings record and builds
    // the add-on of the current unlock type; answers this view, or nil when the image view could
    // not be initialised.
    CVAwayView* initWithSnapshot(UIImageRef snapshot);

    // Builds the add-on of the current unlock type's mode (the overlay, the pull badge or the
    // vault) when the tweak is enabled; nothing otherwise, and nothing without settings. Add-ons
    // built earlier stay, so a second call builds a second set.
    void reconfigureAddons();
    // Lays a black sheet of the overlayTransparency setting over the whole view, in front.
    void addTransparentOverlay();
    // Puts the pull badge of the pullDirection setting half off its screen edge, in front and
    // touchable; nothing for an unknown direction. A missing image file gives an empty badge.
    void addPullBadge();
    // Puts the vault dial in front, touchable; a missing image file gives an empty dial.
    void addVault();

    // The shared settings record once initWithSnapshot: has run; not owned.
    CVSettings* settings() const { return settings_; }

    const std::shared_ptr<UIView>& transparentOverlayView() const {
        return transparentOverlayView_;
    }
    void setTransparentOverlayView(std::shared_ptr<UIView> view);
    const std::shared_ptr<UIImageView>& badgeView() const { return badgeView_; }
    void setBadgeView(std::shared_ptr<UIImageView> view);
    const std::shared_ptr<UIImageView>& vaultView() const { return vaultView_; }
    void setVaultView(std::shared_ptr<UIImageView> view);

    // `image` tinted with `color` (see colorizeImageWithColor); uses nothing of this view.
    UIImageRef colorizeImage(const UIImageRef& image, const UIColorRef& color) const;

private:
    // Adds `addon` as a subview and brings it to the front.
    void placeInFront(const std::shared_ptr<UIView>& addon);

    CVSettings* settings_ = nullptr;
    std::shared_ptr<UIView> transparentOverlayView_;
    std::shared_ptr<UIImageView> badgeView_;
    std::shared_ptr<UIImageView> vaultView_;
};
