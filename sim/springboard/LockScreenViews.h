#pragma once

// The pieces of SpringBoard's lock screen: wallpaper, the date view with its clock (the LCD,
// which shows media controls or the sync status instead when asked), the bulletin table, the
// charging view, and the stock unlock bar whose knob a finger slides to unlock.

#include "platform/uikit/UIImageView.h"
#include "platform/uikit/UIView.h"

#include <memory>

class SBWallpaperView : public UIImageView {
public:
    CV_DECLARE_CLASS()
    SBWallpaperView() : UIImageView(class_()) {}
};

class SBAwayBulletinTableView : public UIView {
public:
    CV_DECLARE_CLASS()
    SBAwayBulletinTableView() : UIView(class_()) {}
};

class SBAwayChargingView : public UIView {
public:
    CV_DECLARE_CLASS()
    SBAwayChargingView() : UIView(class_()) {}
};

// The LCD at the top of the lock screen: the clock and date, or media controls, or the sync
// status. Its own setHidden: is the one a tweak replaces to hide the clock.
class TPLCDView : public UIImageView {
public:
    CV_DECLARE_CLASS()
    TPLCDView();

    enum class Content { Clock, MediaControls, Syncing };
    // Shows `content` (the clock shows the time now).
    void show(Content content);
    Content content() const { return content_; }

private:
    Content content_ = Content::Clock;
};

// The date view around the LCD; SpringBoard tells it when media controls come or go.
class SBAwayDateView : public UIView {
public:
    CV_DECLARE_CLASS()
    SBAwayDateView();

    // Sends setIsShowingControls: through the method table.
    void setIsShowingControls(bool showing);
    TPLCDView* lcd() const { return lcd_.get(); }

private:
    static id initWithFrameImplementation(id self, SEL cmd, CGRect frame);
    static void setIsShowingControlsImplementation(id self, SEL cmd, bool showing);

    std::shared_ptr<TPLCDView> lcd_;
};

// The stock unlock bar: a track with a knob. Sliding the knob to the end of the track unlocks;
// lifting the finger earlier sends the knob back.
class SBAwayLockBar : public UIImageView {
public:
    CV_DECLARE_CLASS()
    SBAwayLockBar();

    // Builds the track and the knob for the bar's frame.
    void layout();
    UIView* knob() const { return knob_.get(); }

private:
    std::shared_ptr<UIView> knob_;
};

// The knob of the unlock bar; it follows the finger along the track.
class SBAwayLockBarKnob : public UIImageView {
public:
    CV_DECLARE_CLASS()
    SBAwayLockBarKnob();

    // The knob's travel in its superview's coordinates.
    CGFloat restX = 0;
    CGFloat endX = 0;

private:
    static void touchesBeganImplementation(id self, SEL cmd, const UITouchSet* touches, UIEvent* e);
    static void touchesMovedImplementation(id self, SEL cmd, const UITouchSet* touches, UIEvent* e);
    static void touchesEndedImplementation(id self, SEL cmd, const UITouchSet* touches, UIEvent* e);
    static void touchesCancelledImplementation(id self, SEL cmd, const UITouchSet* touches,
                                               UIEvent* e);
    void slideBack();

    CGFloat grabX_ = 0;
};
