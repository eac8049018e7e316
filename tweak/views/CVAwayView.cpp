#include "tweak/views/CVAwayView.h"

#include "platform/foundation/NSLog.h"
#include "platform/uikit/UIDevice.h"
#include "platform/uikit/UIScreen.h"
#include "tweak/session/CVUnlockMode.h"
#include "tweak/settings/CVSettings.h"
#include "tweak/views/AddonViews.h"
#include "tweak/views/ColorizeImage.h"

namespace {

// What the settings record answers to `getter`; zero (false, empty, nil) without a record, as a
// message to nil answers.
template <typename Getter>
auto ask(const CVSettings* settings, Getter getter) {
    using Answer = decltype((settings->*getter)());
    return settings ? (settings->*getter)() : Answer{};
}

CGRect mainScreenBounds() {
    const UIScreen* screen = UIScreen::mainScreen();
    return screen ? screen->bounds() : CGRectZero;
}

}  // namespace

CV_REGISTER_CLASS(CVAwayView, UIImageView)

CVAwayView::CVAwayView() : UIImageView(class_()) {}

std::shared_ptr<CVAwayView> CVAwayView::createWithImage(UIImageRef image) {
    return UIImageView::createWithImage<CVAwayView>(std::move(image));
}

std::shared_ptr<CVAwayView> CVAwayView::createWithSnapshot(UIImageRef snapshot) {
    auto view = std::make_shared<CVAwayView>();
    return view->initWithSnapshot(std::move(snapshot)) ? view : nullptr;
}

CVAwayView* CVAwayView::initWithSnapshot(UIImageRef snapshot) {
    // UIImageView's initWithImage:: framed at the origin with the image's size.
    const CGSize size = snapshot ? snapshot->size() : CGSizeZero;
    if (!initWithFrame(CGRect{CGPointZero, size})) return nullptr;
    setImage(std::move(snapshot));
    settings_ = &CVSettings::sharedCVSettings();
    reconfigureAddons();
    return this;
}

void CVAwayView::reconfigureAddons() {
    if (!ask(settings_, &CVSettings::enabled)) return;
    CVUnlockModeFor(ask(settings_, &CVSettings::unlockType)).addAddonTo(*this);
}

void CVAwayView::addTransparentOverlay() {
    NSLog("CRV -addTransparentOverlay:");
    // The overlay takes the view's frame as it is, origin included.
    transparentOverlayView_ =
        CVMakeTransparentOverlay(frameOf(this), ask(settings_, &CVSettings::overlayTransparency));
    placeInFront(transparentOverlayView_);
}

void CVAwayView::addPullBadge() {
    auto badge = CVMakePullBadge(ask(settings_, &CVSettings::pullDirection),
                                 ask(settings_, &CVSettings::badgeDesign),
                                 ask(settings_, &CVSettings::badgeColor), mainScreenBounds());
    if (!badge) return;
    badgeView_ = std::move(badge);
    placeInFront(badgeView_);
}

void CVAwayView::addVault() {
    vaultView_ = CVMakeVault(frame().size);
    placeInFront(vaultView_);
}

void CVAwayView::placeInFront(const std::shared_ptr<UIView>& addon) {
    addSubview(addon);
    bringSubviewToFront(addon.get());
}

void CVAwayView::setTransparentOverlayView(std::shared_ptr<UIView> view) {
    transparentOverlayView_ = std::move(view);
}

void CVAwayView::setBadgeView(std::shared_ptr<UIImageView> view) {
    badgeView_ = std::move(view);
}

void CVAwayView::setVaultView(std::shared_ptr<UIImageView> view) {
    vaultView_ = std::move(view);
}

UIImageRef CVAwayView::colorizeImage(const UIImageRef& image, const UIColorRef& color) const {
    return colorizeImageWithColor(image, color);
}
