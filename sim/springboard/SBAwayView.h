#pragma once

// SpringBoard's lock-screen view: wallpaper, the top bar with the date view and its clock, the
// bulletin table, the charging view and the stock unlock bar. It dims and lights, and renders
// itself into an image.

#include "platform/uikit/UIImage.h"
#include "platform/uikit/UIView.h"
#include "sim/springboard/LockScreenViews.h"

#include <memory>

class SBAwayView : public UIView {
public:
    CV_DECLARE_CLASS()
    SBAwayView();

    // Lays out the lock screen's pieces for the view's frame.
    void build();

    // Sent through the method table.
    void setDimmed(bool dimmed);
    void startAnimations();

    bool isDimmed() const { return dimmed_; }
    // The lock screen comes up lit at SpringBoard's start without a setDimmed: message.
    void showLitAtBoot() { dimmed_ = false; }
    // The lock screen as drawn now, at the screen's scale.
    UIImageRef renderSnapshot() const;
    UIView* topBar() const { return topBar_.get(); }
    SBAwayDateView* dateView() const { return dateView_.get(); }
    SBAwayLockBar* lockBar() const { return lockBar_.get(); }
    // How many times startAnimations reached SpringBoard's own implementation.
    int animationStarts() const { return animationStarts_; }

private:
    static void setDimmedImplementation(id self, SEL cmd, bool dimmed);
    static void startAnimationsImplementation(id self, SEL cmd);
    static void touchesImplementation(id self, SEL cmd, const UITouchSet* touches, UIEvent* event);

    std::shared_ptr<UIView> topBar_;
    std::shared_ptr<SBAwayDateView> dateView_;
    std::shared_ptr<SBAwayLockBar> lockBar_;
    bool dimmed_ = true;
    int animationStarts_ = 0;
};
