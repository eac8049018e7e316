#pragma once

// The status bar along the top of the screen: the padlock or the time in its middle while the
// device is locked, and the clock item on its right when it is shown.

#include "platform/runtime/NSObject.h"
#include "platform/uikit/UIImageView.h"
#include "platform/uikit/UIWindow.h"

#include <memory>

class SBStatusBarController : public NSObject {
public:
    CV_DECLARE_CLASS()

    // The one controller, made with its window on first use.
    static SBStatusBarController* sharedStatusBarController();

    SBStatusBarController();

    // Sends setIsLockVisible:isTimeVisible: through the method table.
    void setIsLockVisible(bool lockVisible, bool timeVisible);

    bool isLockVisible() const { return lockVisible_; }
    bool isTimeVisible() const { return timeVisible_; }
    // Draws the bar again (the time or the clock item changed).
    void redraw();

private:
    static void setIsLockVisibleImplementation(id self, SEL cmd, bool lockVisible, bool timeVisible);

    std::shared_ptr<UIWindow> window_;
    std::shared_ptr<UIImageView> bar_;
    bool lockVisible_ = false;
    bool timeVisible_ = true;
};
