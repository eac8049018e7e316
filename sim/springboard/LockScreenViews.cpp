#include "sim/springboard/LockScreenViews.h"

#include "platform/uikit/UIScreen.h"
#include "platform/uikit/UITouch.h"
#include "platform/uikit/UITouchSet.h"
#include "sim/springboard/SBAwayController.h"
#include "sim/springboard/SpringBoardArtwork.h"
#include "sim/springboard/SpringBoardTime.h"
#include "platform/springboard/SpringBoardInterface.h"

namespace {

CGFloat screenScale() { return UIScreen::mainScreen()->scale(); }

// How far from the end of the track the knob may stop and still count as at the end.
constexpr CGFloat kUnlockSlack = 2;
constexpr double kKnobReturnSeconds = 0.25;
constexpr CGFloat kKnobWidth = 68;
constexpr CGFloat kKnobHeight = 44;
constexpr CGFloat kGrooveInset = 22;

}  // namespace

CV_REGISTER_CLASS(SBWallpaperView, UIImageView)
CV_REGISTER_CLASS(SBAwayBulletinTableView, UIView)
CV_REGISTER_CLASS(SBAwayChargingView, UIView)
CV_REGISTER_CLASS(TPLCDView, UIImageView)

TPLCDView::TPLCDView() : UIImageView(class_()) {}

void TPLCDView::show(Content content) {
    content_ = content;
    const CGSize size = bounds().size;
    switch (content) {
    case Content::Clock:
        setImage(SpringBoardArtwork::clockFace(SpringBoardTime::timeText(),
                                               SpringBoardTime::dateText(), size, screenScale()));
        break;
    case Content::MediaControls:
        setImage(SpringBoardArtwork::mediaControls(size, screenScale()));
        break;
    case Content::Syncing:
        setImage(SpringBoardArtwork::clockFace("Syncing", "Do not disconnect", size, screenScale()));
        break;
    }
}

Class SBAwayDateView::class_() {
    static const Class cls = objc_defineClass(
        "SBAwayDateView", UIView::class_(),
        {UIViewMessage::initWithFrame.implementedBy(&initWithFrameImplementation),
         SB::setIsShowingControls.implementedBy(&setIsShowingControlsImplementation)});
    return cls;
}

SBAwayDateView::SBAwayDateView() : UIView(class_()) {}

id SBAwayDateView::initWithFrameImplementation(id self, SEL cmd, CGRect frame) {
    auto* view = static_cast<SBAwayDateView*>(UIView::initWithFrameImplementation(self, cmd, frame));
    if (!view) return nullptr;
    view->lcd_ = UIView::create<TPLCDView>(CGRectMake(0, 0, frame.size.width, frame.size.height));
    view->addSubview(view->lcd_);
    view->lcd_->show(TPLCDView::Content::Clock);
    return view;
}

void SBAwayDateView::setIsShowingControls(bool showing) {
    SB::setIsShowingControls.send(this, showing);
}

void SBAwayDateView::setIsShowingControlsImplementation(id self, SEL, bool showing) {
    auto* view = static_cast<SBAwayDateView*>(self);
    view->lcd_->show(showing ? TPLCDView::Content::MediaControls : TPLCDView::Content::Clock);
}

CV_REGISTER_CLASS(SBAwayLockBar, UIImageView)

SBAwayLockBar::SBAwayLockBar() : UIImageView(class_()) { setUserInteractionEnabled(true); }

void SBAwayLockBar::layout() {
    const CGSize size = bounds().size;
    setImage(SpringBoardArtwork::unlockTrack(size, screenScale()));
    auto knob = UIView::create<SBAwayLockBarKnob>(
        CGRectMake(kGrooveInset, (size.height - kKnobHeight) / 2, kKnobWidth, kKnobHeight));
    knob->setImage(SpringBoardArtwork::unlockKnob({kKnobWidth, kKnobHeight}, screenScale()));
    knob->restX = kGrooveInset;
    knob->endX = size.width - kGrooveInset - kKnobWidth;
    if (knob_) knob_->removeFromSuperview();
    knob_ = knob;
    addSubview(knob);
}

Class SBAwayLockBarKnob::class_() {
    static const Class cls = objc_defineClass(
        "SBAwayLockBarKnob", UIImageView::class_(),
        {UIResponderMessage::touchesBegan.implementedBy(&touchesBeganImplementation),
         UIResponderMessage::touchesMoved.implementedBy(&touchesMovedImplementation),
         UIResponderMessage::touchesEnded.implementedBy(&touchesEndedImplementation),
         UIResponderMessage::touchesCancelled.implementedBy(&touchesCancelledImplementation)});
    return cls;
}

SBAwayLockBarKnob::SBAwayLockBarKnob() : UIImageView(class_()) { setUserInteractionEnabled(true); }

void SBAwayLockBarKnob::touchesBeganImplementation(id self, SEL, const UITouchSet* touches, UIEvent*) {
    auto* knob = static_cast<SBAwayLockBarKnob*>(self);
    const UITouch* touch = touches->anyObject();
    knob->grabX_ = touch ? touch->locationInView(knob->superview()).x - knob->frame().origin.x : 0;
    SBAwayController::sharedAwayController()->restartDimTimer(10);
}

void SBAwayLockBarKnob::touchesMovedImplementation(id self, SEL, const UITouchSet* touches, UIEvent*) {
    auto* knob = static_cast<SBAwayLockBarKnob*>(self);
    const UITouch* touch = touches->anyObject();
    if (!touch) return;
    const CGFloat x = touch->locationInView(knob->superview()).x - knob->grabX_;
    CGRect frame = knob->frame();
    frame.origin.x = std::fmin(std::fmax(x, knob->restX), knob->endX);
    knob->setFrame(frame);
}

void SBAwayLockBarKnob::touchesEndedImplementation(id self, SEL, const UITouchSet*, UIEvent*) {
    auto* knob = static_cast<SBAwayLockBarKnob*>(self);
    if (knob->frame().origin.x >= knob->endX - kUnlockSlack) {
        CGRect frame = knob->frame();
        frame.origin.x = knob->restX;
        knob->setFrame(frame);
        SBAwayController::sharedAwayController()->unlockWithSound(true);
        return;
    }
    knob->slideBack();
}

void SBAwayLockBarKnob::touchesCancelledImplementation(id self, SEL, const UITouchSet*, UIEvent*) {
    static_cast<SBAwayLockBarKnob*>(self)->slideBack();
}

void SBAwayLockBarKnob::slideBack() {
    UIView::beginAnimations(nullptr, nullptr);
    UIView::setAnimationDuration(kKnobReturnSeconds);
    CGRect frame = this->frame();
    frame.origin.x = restX;
    setFrame(frame);
    UIView::commitAnimations();
}
