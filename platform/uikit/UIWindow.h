#pragma once

// Windows: root views placed on the screen (their frame is in screen coordinates), stacked by
// window level. A window delivers the touches that began in it: each touch goes to the view its
// touch-down hit, for its whole sequence, after the recognisers of that view and its ancestors
// have seen it.

#include "platform/uikit/UIView.h"

using UIWindowLevel = CGFloat;
inline constexpr UIWindowLevel UIWindowLevelNormal = 0;
inline constexpr UIWindowLevel UIWindowLevelAlert = 2000;
inline constexpr UIWindowLevel UIWindowLevelStatusBar = 1000;

class UIWindow : public UIView {
public:
    CV_DECLARE_CLASS()

    explicit UIWindow(Class cls = class_());

    UIWindowLevel windowLevel() const { return windowLevel_; }
    // Windows of a higher level lie in front; among equals the one shown later.
    void setWindowLevel(UIWindowLevel level) { windowLevel_ = level; }
    // Shows the window, puts it in the application's window list (which then owns it) and makes
    // it the key window.
    void makeKeyAndVisible();
    void makeKeyWindow();
    bool isKeyWindow() const;

    // Delivers the touches of `event` that belong to this window: first to the recognisers each
    // touch was offered to, then (unless a recogniser has cancelled it there) to the touch's view
    // through touchesBegan/Moved/Ended/Cancelled:withEvent:, grouped by view and phase.
    void sendEvent(UIEvent* event);

private:
    void offerToRecognizers(const UITouchSet& touches, UIEvent* event);
    void deliverToViews(const UITouchSet& touches, UIEvent* event);

    UIWindowLevel windowLevel_ = UIWindowLevelNormal;
};
