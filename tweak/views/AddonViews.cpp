#include "tweak/views/AddonViews.h"

#include "tweak/views/AddonGeometry.h"
#include "tweak/views/ColorizeImage.h"

std::shared_ptr<UIView> CVMakeTransparentOverlay(CGRect frame, double overlayTransparency) {
    auto overlay = UIView::create(frame);
    overlay->setBackgroundColor(CVOverlayColor(overlayTransparency));
    return overlay;
}

std::shared_ptr<UIImageView> CVMakePullBadge(CVPullDirection pullDirection, std::string_view design,
                                             const UIColorRef& customColour, CGRect screenBounds) {
    const auto placement = CVBadgePlacementFor(pullDirection, design, screenBounds);
    if (!placement) return nullptr;
    UIImageRef image = UIImage::imageWithContentsOfFile(placement->imagePath);
    if (design == "Custom") image = colorizeImageWithColor(image, customColour);
    auto badge = UIView::create<UIImageView>(placement->frame);
    badge->setImage(std::move(image));
    badge->setUserInteractionEnabled(true);
    return badge;
}

std::shared_ptr<UIImageView> CVMakeVault(CGSize screen) {
    auto vault = UIView::create<UIImageView>(CVVaultFrame(screen));
    vault->setImage(UIImage::imageWithContentsOfFile(kCVVaultImagePath));
    vault->setUserInteractionEnabled(true);
    return vault;
}
