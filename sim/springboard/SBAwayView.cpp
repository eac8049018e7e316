#include "sim/springboard/SBAwayView.h"

#include "platform/uikit/UIGraphics.h"
#include "platform/uikit/UIScreen.h"
#include "sim/springboard/SBAwayController.h"
#include "sim/springboard/SpringBoardArtwork.h"
#include "sim/springboard/SpringBoardEvents.h"
#include "platform/springboard/SpringBoardInterface.h"

namespace {

constexpr CGFloat kStatusBarHeight = 20;
constexpr CGFloat kTopBarHeight = 96;
constexpr CGFloat kLockBarHeight = 96;

}  // namespace

namespace {

// SpringBoard gives every view renderSnapshot: its picture as drawn now, at the screen's scale.
UIImageRef renderViewSnapshot(const UIView& view) {
    UIGraphicsBeginImageContextWithOptions(view.bounds().size, false, 0);
    if (const auto ctx = UIGraphicsGetCurrentContext()) view.layer()->renderInContext(ctx);
    UIImageRef image = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    return image;
}

void addSnapshotCategory() {
    const auto entry = SB::renderSnapshot.implementedBy(
        [](id self, SEL) { return renderViewSnapshot(*static_cast<UIView*>(self)); });
    class_replaceMethod(UIView::class_(), SB::renderSnapshot.selector(), entry.implementation);
}

}  // namespace

Class SBAwayView::class_() {
    static const bool categoryAdded = (addSnapshotCategory(), true);
    (void)categoryAdded;
    static const Class cls = objc_defineClass(
        "SBAwayView", UIView::class_(),
        {SB::setDimmed.implementedBy(&setDimmedImplementation),
         SB::startAnimations.implementedBy(&startAnimationsImplementation),
         UIResponderMessage::touchesBegan.implementedBy(&touchesImplementation),
         UIResponderMessage::touchesMoved.implementedBy(&touchesImplementation),
         UIResponderMessage::touchesEnded.implementedBy(&touchesImplementation),
         SB::topBar.implementedBy(
             [](id self, SEL) -> id { return static_cast<SBAwayView*>(self)->topBar(); })});
    return cls;
}

SBAwayView::SBAwayView() : UIView(class_()) {}

void SBAwayView::build() {
    const CGRect b = bounds();
    const CGFloat scale = UIScreen::mainScreen()->scale();
    auto wallpaper = UIView::create<SBWallpaperView>(b);
    wallpaper->setImage(SpringBoardArtwork::wallpaper(b.size, scale));
    addSubview(wallpaper);

    topBar_ = UIView::create(CGRectMake(0, kStatusBarHeight, b.size.width, kTopBarHeight));
    addSubview(topBar_);
    dateView_ = UIView::create<SBAwayDateView>(CGRectMake(0, 0, b.size.width, kTopBarHeight));
    topBar_->addSubview(dateView_);

    const CGFloat tableTop = kStatusBarHeight + kTopBarHeight;
    addSubview(UIView::create<SBAwayBulletinTableView>(
        CGRectMake(0, tableTop, b.size.width, b.size.height - tableTop - kLockBarHeight)));
    auto charging = UIView::create<SBAwayChargingView>(
        CGRectMake(0, tableTop, b.size.width, b.size.height - tableTop - kLockBarHeight));
    charging->setHidden(true);
    addSubview(charging);

    lockBar_ = UIView::create<SBAwayLockBar>(
        CGRectMake(0, b.size.height - kLockBarHeight, b.size.width, kLockBarHeight));
    lockBar_->layout();
    addSubview(lockBar_);
}

void SBAwayView::setDimmed(bool dimmed) { SB::setDimmed.send(this, dimmed); }

void SBAwayView::startAnimations() { SB::startAnimations.send(this); }

void SBAwayView::setDimmedImplementation(id self, SEL, bool dimmed) {
    auto* view = static_cast<SBAwayView*>(self);
    view->dimmed_ = dimmed;
    SpringBoardEvents::emit("dimmed", {{"dimmed", dimmed}});
    SBAwayController::sharedAwayController()->awayViewDimmedChanged(dimmed);
}

void SBAwayView::startAnimationsImplementation(id self, SEL) {
    ++static_cast<SBAwayView*>(self)->animationStarts_;
}

// A touch on the lock screen's passive parts keeps it lit; SpringBoard's own handling ends there.
void SBAwayView::touchesImplementation(id, SEL, const UITouchSet*, UIEvent*) {}

UIImageRef SBAwayView::renderSnapshot() const { return renderViewSnapshot(*this); }
