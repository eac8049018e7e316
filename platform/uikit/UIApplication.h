#pragma once

// The application object: its windows, the status bar's orientation and items, and the entry
// through which the host injects touches. The object the host makes (a subclass, for SpringBoard)
// becomes the shared application; until one is made, sharedApplication makes a plain one.

#include "platform/graphics/CGGeometry.h"
#include "platform/uikit/Forward.h"
#include "platform/uikit/UIResponder.h"
#include "platform/uikit/UITouch.h"
#include "platform/uikit/UITouchInjector.h"

#include <functional>
#include <memory>
#include <set>
#include <span>
#include <string>
#include <vector>

enum UIInterfaceOrientation : int {
    UIInterfaceOrientationPortrait = 1,
    UIInterfaceOrientationPortraitUpsideDown = 2,
    UIInterfaceOrientationLandscapeLeft = 4,
    UIInterfaceOrientationLandscapeRight = 3,
};

class UIApplication : public UIResponder {
public:
    CV_DECLARE_CLASS()

    // The shared application: the one made last, else a plain one made now.
    static UIApplication* sharedApplication();

    // Becomes the shared application, taking over the windows and status-bar items of the one
    // it replaces.
    explicit UIApplication(Class cls = class_());
    ~UIApplication() override;

    // The orientation of the status bar; any value is stored as given (1 to 4 are meaningful).
    UIInterfaceOrientation statusBarOrientation() const { return statusBarOrientation_; }
    void setStatusBarOrientation(UIInterfaceOrientation orientation) {
        statusBarOrientation_ = orientation;
    }

    // Shows (adds) or hides (removes) status-bar item `item`; the observer hears each call.
    void addStatusBarItem(int item);
    void removeStatusBarItem(int item);
    bool isStatusBarItemVisible(int item) const { return statusBarItems_.count(item) != 0; }
    // Called with (item, visible) on every add and remove; the host traces these.
    void setStatusBarItemObserver(std::function<void(int item, bool visible)> observer) {
        statusBarItemObserver_ = std::move(observer);
    }

    // Asks the host to open `url`, answering whether it was handled. A string without a scheme
    // (letters, digits, "+", "-" or "." after a first letter, then ":") is not a URL and is not
    // opened; any other goes to the observer, whose answer is the result. Without an observer
    // nothing handles it.
    bool openURL(const std::string& url);
    // Called with every URL openURL is given, answering whether the host opened it.
    void setOpenURLObserver(std::function<bool(const std::string& url)> observer) {
        openURLObserver_ = std::move(observer);
    }

    // The windows, back to front: by level, then in the order they were added.
    std::vector<std::shared_ptr<UIWindow>> windows() const;
    // Puts `window` in the list (the list owns it); a window already there keeps its place.
    void addWindow(const std::shared_ptr<UIWindow>& window);
    // Takes `window` out of the list (which may release it).
    void removeWindow(const UIWindow* window);
    UIWindow* keyWindow() const { return keyWindow_; }
    void setKeyWindow(UIWindow* window) { keyWindow_ = window; }

    // The front-most shown window whose hit test finds a view at `screenPoint`, with that view;
    // nils when none.
    std::pair<UIWindow*, UIView*> hitTestScreen(CGPoint screenPoint, UIEvent* event) const;

    // Host entry for touches: fingers at screen points (see UITouchInjector) delivered through
    // sendEvent. `timestamp` is in seconds; a negative one means the run loop's clock now.
    void sendTouches(UITouchPhase phase, std::span<const CGPoint> screenPoints,
                     double timestamp = -1);
    // Delivers a touch event to the windows its touches belong to.
    void sendEvent(UIEvent* event);
    // The touches on the screen now.
    const UITouchInjector& touchInjector() const { return injector_; }

private:
    UIInterfaceOrientation statusBarOrientation_ = UIInterfaceOrientationPortrait;
    std::set<int> statusBarItems_;
    std::function<void(int, bool)> statusBarItemObserver_;
    std::function<bool(const std::string&)> openURLObserver_;
    std::vector<std::shared_ptr<UIWindow>> windows_;
    UIWindow* keyWindow_ = nullptr;
    UITouchInjector injector_;
};
