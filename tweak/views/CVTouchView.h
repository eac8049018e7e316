#pragma once

// The nearly invisible view laid over SpringBoard's lock screen. Point by point it decides
// whether a touch belongs to the unlock gesture or to one of the lock screen's own controls, hands
// the touches it keeps to the session controller, and keeps the screen from dimming meanwhile.
// Its messages are implementations of the runtime class "CVTouchView", so they take part in hit
// testing and touch delivery like any view's.

#include "platform/uikit/UIView.h"

class CVTouchView : public UIView {
public:
    CV_DECLARE_CLASS()

    // Made with a zero frame; send it initWithFrame: (UIView::create<CVTouchView>(frame) does).
    CVTouchView();

private:
    // initWithFrame:: a plain view with a background of white 0.5 at alpha 0.01, effectively
    // invisible but still hit; points the session state's settings at the shared record.
    static id initWithFrameImplementation(id self, SEL cmd, CGRect frame);
    // hitTest:withEvent:: in the pull-badge mode (unlock type 4) a plain view's hit test; else
    // this view when the lock screen's own hit view is passive background, or that hit view.
    static UIView* hitTestImplementation(id self, SEL cmd, CGPoint point, UIEvent* event);
    // touchesBegan/Moved/Ended:withEvent:: the touches go to the session controller, then
    // SpringBoard's dim timer restarts. The base class never sees them.
    static void touchesBeganImplementation(id self, SEL cmd, const UITouchSet* touches,
                                           UIEvent* event);
    static void touchesMovedImplementation(id self, SEL cmd, const UITouchSet* touches,
                                           UIEvent* event);
    static void touchesEndedImplementation(id self, SEL cmd, const UITouchSet* touches,
                                           UIEvent* event);
};
