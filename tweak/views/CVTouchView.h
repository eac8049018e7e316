#pragma once

// The nearly invisible view laid over SpringBoard's lock screen. Point by point it decides
// whether a touch belongs to the unlock gesture or to one of the lock screen's own controls, hands
// the touches it keeps to its delegate (the session controller), and keeps the screen from
// dimming meanwhile. Its messages are implementations of the runtime class "CVTouchView", so they
// take part in hit testing and touch delivery like any view's.

#include "platform/uikit/UIView.h"
#include "tweak/views/CVTouchViewDelegate.h"

#include <memory>

class CVTouchView : public UIView {
public:
    CV_DECLARE_CLASS()

    // Made with a zero frame; send it initWithFrame: (UIView::create<CVTouchView>(frame) does).
    CVTouchView();

    // Where the kept touches go and whose lock-screen view is consulted; held weakly. Without a
    // delegate, or once it is gone, the view keeps no touches and forwards none.
    void setDelegate(std::weak_ptr<CVTouchViewDelegate> delegate) { delegate_ = std::move(delegate); }

private:
    // initWithFrame:: a plain view with a background of white 0.5 at alpha 0.01, effectively
    // invisible but still hit; points the session state's settings at the shared record.
    static id initWithFrameImplementation(id self, SEL cmd, CGRect frame);
    // hitTest:withEvent:: a plain view's hit test when the delegate keeps every touch on the view
    // (the pull badge's); else this view when the lock screen's own hit view is passive
    // background, or that hit view.
    static UIView* hitTestImplementation(id self, SEL cmd, CGPoint point, UIEvent* event);
    // touchesBegan/Moved/Ended:withEvent:: the touches go to the delegate, then SpringBoard's dim
    // timer restarts. The base class never sees them.
    static void touchesBeganImplementation(id self, SEL cmd, const UITouchSet* touches,
                                           UIEvent* event);
    static void touchesMovedImplementation(id self, SEL cmd, const UITouchSet* touches,
                                           UIEvent* event);
    static void touchesEndedImplementation(id self, SEL cmd, const UITouchSet* touches,
                                           UIEvent* event);

    std::shared_ptr<CVTouchViewDelegate> delegate() const { return delegate_.lock(); }

    std::weak_ptr<CVTouchViewDelegate> delegate_;
};
