#include "ScreenTestSupport.h"

#include "platform/uikit/UIViewController.h"

#include <gtest/gtest.h>

namespace {

struct ModalPresentation : OnScreen {
    void SetUp() override {
        OnScreen::SetUp();
        presenter = controllerWithView();
        window->addSubview(presenter->view());
        presented = controllerWithView();
    }
    static std::shared_ptr<UIViewController> controllerWithView() {
        auto controller = std::make_shared<UIViewController>();
        controller->setView(UIView::create(CGRectMake(0, 0, 320, 480)));
        return controller;
    }
    CGFloat drawnY(const UIViewController& controller) const {
        return controller.view()->layer()->presentationLayer()->frame().origin.y;
    }
    std::shared_ptr<UIViewController> presenter, presented;
};

TEST_F(ModalPresentation, SlidesThePresentedViewUpOverTheWholeWindow) {
    presenter->presentModalViewController(presented, true);
    EXPECT_EQ(presenter->modalViewController(), presented.get());
    EXPECT_EQ(presented->parentViewController(), presenter.get());
    const auto& shown = presented->view();
    EXPECT_EQ(shown->superview(), window.get());
    EXPECT_EQ(window->subviews().back(), shown) << "in front of everything in the window";
    EXPECT_EQ(shown->frame(), window->bounds());
    EXPECT_EQ(drawnY(*presented), 480);
    runFor(0.15);
    EXPECT_NEAR(drawnY(*presented), 240, 1);
    runFor(0.15);
    EXPECT_EQ(drawnY(*presented), 0);
    EXPECT_EQ(window->hitTest({10, 10}, nullptr), shown.get());
}

TEST_F(ModalPresentation, DismissalSlidesTheViewDownAndThenTakesItAway) {
    presenter->presentModalViewController(presented, false);
    EXPECT_EQ(drawnY(*presented), 0);
    presented->dismissModalViewControllerAnimated(true);  // asks its presenter
    EXPECT_EQ(presenter->modalViewController(), nullptr);
    EXPECT_EQ(presented->parentViewController(), nullptr);
    EXPECT_EQ(presented->view()->superview(), window.get()) << "still sliding away";
    runFor(0.15);
    EXPECT_NEAR(drawnY(*presented), 240, 1);
    runFor(0.15);
    EXPECT_EQ(presented->view()->superview(), nullptr);

    presenter->presentModalViewController(presented, false);
    presenter->dismissModalViewControllerAnimated(false);
    EXPECT_EQ(presented->view()->superview(), nullptr) << "at once when not animated";
}

TEST_F(ModalPresentation, TakesAwayWhatThePresentedControllerPresentsInTurn) {
    auto third = controllerWithView();
    presenter->presentModalViewController(presented, false);
    presented->presentModalViewController(third, false);
    EXPECT_EQ(third->view()->superview(), window.get());
    presenter->dismissModalViewControllerAnimated(false);
    EXPECT_EQ(third->view()->superview(), nullptr);
    EXPECT_EQ(presented->modalViewController(), nullptr);
}

TEST_F(ModalPresentation, PresentsNothingWithoutAWindowOrOverAnotherPresentation) {
    auto loose = controllerWithView();  // its view is in no window
    loose->presentModalViewController(presented, true);
    EXPECT_EQ(loose->modalViewController(), nullptr);
    EXPECT_EQ(presented->view()->superview(), nullptr);

    presenter->presentModalViewController(presented, false);
    auto second = controllerWithView();
    presenter->presentModalViewController(second, false);
    EXPECT_EQ(presenter->modalViewController(), presented.get());
    EXPECT_EQ(second->view()->superview(), nullptr);
    auto viewless = std::make_shared<UIViewController>();
    presented->presentModalViewController(viewless, false);
    EXPECT_EQ(presented->modalViewController(), nullptr);
}

TEST(UIApplication, OpensAURLWhenTheHostHandlesIt) {
    UIApplication* application = UIApplication::sharedApplication();
    EXPECT_FALSE(application->openURL("prefs:root=General")) << "no observer, nothing opens it";
    std::vector<std::string> heard;
    application->setOpenURLObserver([&](const std::string& url) {
        heard.push_back(url);
        return url.rfind("prefs:", 0) == 0;
    });
    struct Case {
        const char* url;
        bool opened;
    } const cases[] = {{"prefs:root=General", true},
                       {"http://example.com/", false},
                       {"no scheme here", false},
                       {":empty", false},
                       {"1abc:x", false},
                       {"", false}};
    for (const Case& c : cases) EXPECT_EQ(application->openURL(c.url), c.opened) << c.url;
    EXPECT_EQ(heard, (std::vector<std::string>{"prefs:root=General", "http://example.com/"}));
    application->setOpenURLObserver(nullptr);
}

}  // namespace
