#pragma once

// A stack of controllers under a navigation bar, as the Settings application goes from a list to
// a list of choices and back: the bar shows the top controller's title and, below the root, a back
// button named after the controller beneath; pushing slides the new controller in from the right
// and popping slides it out, over 0.3 s on the run loop's clock.

#include "platform/uikit/Forward.h"
#include "platform/uikit/UIViewController.h"

#include <memory>
#include <vector>

class UINavigationController : public UIViewController {
public:
    CV_DECLARE_CLASS()

    // The height of the bar.
    static constexpr CGFloat kBarHeight = 44;

    // A stack holding `root`.
    explicit UINavigationController(std::shared_ptr<UIViewController> root);

    // The bar and, below it, the top controller's view (made with loadView when it has none).
    void loadView(CGRect frame) override;

    // Puts `controller` on top; it is shown at once, or slid in when `animated`.
    void pushViewController(std::shared_ptr<UIViewController> controller, bool animated);
    // Takes the top controller away, unless it is the root.
    void popViewControllerAnimated(bool animated);

    UIViewController* topViewController() const;
    const std::vector<std::shared_ptr<UIViewController>>& viewControllers() const {
        return stack_;
    }
    // Where the controllers' views go: below the bar.
    CGRect contentFrame() const;

    // A tap on the back button, as the host's finger gives it.
    void backButtonTapped() { popViewControllerAnimated(true); }

private:
    // How the top controller's view comes on screen when it is not there yet: in place at once,
    // or sliding in from the right (an animated push).
    enum class Entrance { InPlace, SlideFromRight };
    // Puts the top controller's view under the bar and redraws the bar for it.
    void showTop(Entrance entrance);
    void redrawBar();

    std::vector<std::shared_ptr<UIViewController>> stack_;
    std::shared_ptr<UIImageView> bar_;
    std::shared_ptr<UIView> backButton_;
};
