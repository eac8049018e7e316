#pragma once

// An application SpringBoard runs, with the context host manager that gives out pictures of its
// screen; the home screen's interface controller; and the linen texture.

#include "platform/graphics/IOSurface.h"
#include "platform/runtime/NSObject.h"
#include "platform/uikit/UIImage.h"
#include "platform/uikit/UIImageView.h"
#include "platform/uikit/UIWindow.h"

#include <memory>
#include <string>

class SBContextHostManager : public NSObject {
public:
    CV_DECLARE_CLASS()
    explicit SBContextHostManager(std::string bundleIdentifier);

    // A surface with the application's screen for `frame` at the screen's scale; nil for an
    // empty frame.
    IOSurfaceRef createIOSurfaceForFrame(CGRect frame) const;

private:
    std::string bundleIdentifier_;
};

class SBApplication : public NSObject {
public:
    CV_DECLARE_CLASS()
    explicit SBApplication(std::string bundleIdentifier);

    const std::string& bundleIdentifier() const { return bundleIdentifier_; }
    SBContextHostManager* contextHostManager() const { return manager_.get(); }

private:
    std::string bundleIdentifier_;
    std::shared_ptr<SBContextHostManager> manager_;
};

// The home screen.
class SBUIController : public NSObject {
public:
    CV_DECLARE_CLASS()
    static SBUIController* sharedInstance();
    SBUIController();

    // The view holding the home screen.
    UIView* contentView() const { return contentView_.get(); }
    // Puts the home screen back to its icon list.
    void restoreIconListAnimated(bool animated) { restoredIconList_ = true; }
    bool restoredIconList() const { return restoredIconList_; }

private:
    std::shared_ptr<UIWindow> window_;
    std::shared_ptr<UIImageView> contentView_;
    bool restoredIconList_ = false;
};

class SBLinenView : public NSObject {
public:
    CV_DECLARE_CLASS()
    // The linen texture for `bounds`, at the screen's scale.
    static UIImageRef squareImageForBounds(CGRect bounds);
};
