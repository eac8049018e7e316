#pragma once

// A view controller: the owner of a view, which passes the touches it does not handle to the
// controller. The view is whatever was set last; none until then.
//
// A controller may present another modally: the presented controller's view is laid over the
// whole window of the presenting controller's view (in front of everything in it), sliding up
// from the bottom over 0.3 s when animated, through a view animation block on the run loop's
// clock. The presenting controller owns the presented one until it is dismissed.

#include "platform/uikit/Forward.h"
#include "platform/uikit/UIResponder.h"

#include "platform/graphics/CGGeometry.h"

#include <memory>
#include <string>

class UIViewController : public UIResponder {
public:
    CV_DECLARE_CLASS()

    explicit UIViewController(Class cls = class_());
    ~UIViewController() override;

    // The controller's view, or null when none has been set.
    const std::shared_ptr<UIView>& view() const { return view_; }
    // Owns `view` from now on, letting the previous one go (it stays in any superview that holds
    // it).
    void setView(std::shared_ptr<UIView> view);
    bool isViewLoaded() const { return view_ != nullptr; }
    // Makes the controller's view with `frame` (in its superview's coordinates), when whoever
    // shows the controller needs it; the base makes a plain view.
    virtual void loadView(CGRect frame);

    // The title a navigation bar shows for the controller.
    const std::string& title() const { return title_; }
    void setTitle(std::string title) { title_ = std::move(title); }
    // The navigation controller whose stack holds this controller; nil when none.
    UINavigationController* navigationController() const { return navigationController_; }
    void setNavigationController(UINavigationController* navigation) {
        navigationController_ = navigation;
    }

    // The view's superview, or nil.
    UIResponder* nextResponder() const override;

    // Presents `controller` over this controller's window. Nothing happens when this controller
    // already presents one, when `controller` is presented already (or is this one), or when
    // either has no view or this one's view is not in a window.
    void presentModalViewController(std::shared_ptr<UIViewController> controller, bool animated);
    // Takes the presented controller's view away (sliding it down over 0.3 s when animated,
    // then removing it), with any controller that one presents in turn; the relationship ends at
    // once. Sent to a presented controller that presents nothing, it asks its presenter.
    void dismissModalViewControllerAnimated(bool animated);
    // The controller this one presents; nil when none.
    UIViewController* modalViewController() const { return modal_.get(); }
    // The controller presenting this one; nil when none.
    UIViewController* parentViewController() const { return parent_; }

private:
    std::shared_ptr<UIView> view_;
    std::string title_;
    UINavigationController* navigationController_ = nullptr;
    std::shared_ptr<UIViewController> modal_;
    UIViewController* parent_ = nullptr;
};
