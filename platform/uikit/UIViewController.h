#pragma once

// A view controller: the owner of a view, which passes the touches it does not handle to the
// controller. The view is whatever was set last; none until then.

#include "platform/uikit/UIResponder.h"

#include <memory>

class UIView;

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

    // The view's superview, or nil.
    UIResponder* nextResponder() const override;

private:
    std::shared_ptr<UIView> view_;
};
