#include "platform/uikit/UIApplication.h"
#include "platform/uikit/UIDevice.h"
#include "platform/uikit/UIScreen.h"
#include "platform/uikit/UIWindow.h"

#include <gtest/gtest.h>

namespace {

// A host's application class, as SpringBoard's would be.
class HostApplication : public UIApplication {
public:
    static Class class_() {
        static const Class cls =
            objc_registerClassPair("TestHostApplication", UIApplication::class_());
        return cls;
    }
    HostApplication() : UIApplication(class_()) {}
};

TEST(UIApplication, TheHostsApplicationBecomesSharedAndKeepsTheWindows) {
    UIApplication* before = UIApplication::sharedApplication();
    auto window = UIView::create<UIWindow>({0, 0, 10, 10});
    window->makeKeyAndVisible();
    {
        HostApplication host;
        EXPECT_EQ(UIApplication::sharedApplication(), &host);
        EXPECT_TRUE(UIApplication::sharedApplication()->isKindOfClass(HostApplication::class_()));
        EXPECT_EQ(host.windows().size(), before->windows().size());
        EXPECT_EQ(host.keyWindow(), window.get());
        host.removeWindow(window.get());
    }
    before->removeWindow(window.get());
}

TEST(UIApplication, StatusBarItemsAreTracedAndOrientationIsKept) {
    auto* app = UIApplication::sharedApplication();
    std::vector<std::pair<int, bool>> trace;
    app->setStatusBarItemObserver([&](int item, bool visible) {
        trace.push_back({item, visible});
    });
    app->addStatusBarItem(0);
    EXPECT_TRUE(app->isStatusBarItemVisible(0));
    app->removeStatusBarItem(0);
    app->removeStatusBarItem(0);
    EXPECT_FALSE(app->isStatusBarItemVisible(0));
    EXPECT_EQ(trace, (std::vector<std::pair<int, bool>>{{0, true}, {0, false}, {0, false}}));
    app->setStatusBarItemObserver({});
    app->setStatusBarOrientation(UIInterfaceOrientationLandscapeRight);
    EXPECT_EQ(app->statusBarOrientation(), 3);
    app->setStatusBarOrientation(UIInterfaceOrientationPortrait);
}

TEST(UIApplication, WindowsStackByLevelThenByArrival) {
    auto* app = UIApplication::sharedApplication();
    auto alert = UIView::create<UIWindow>({0, 0, 10, 10});
    alert->setWindowLevel(UIWindowLevelAlert);
    auto first = UIView::create<UIWindow>({0, 0, 10, 10});
    auto second = UIView::create<UIWindow>({0, 0, 10, 10});
    for (const auto& w : {alert, first, second}) w->makeKeyAndVisible();
    EXPECT_EQ(app->windows(), (std::vector<std::shared_ptr<UIWindow>>{first, second, alert}));
    EXPECT_TRUE(second->isKeyWindow());
    EXPECT_FALSE(alert->isKeyWindow());
    EXPECT_EQ(app->hitTestScreen({5, 5}, nullptr).first, alert.get());
    alert->setHidden(true);
    EXPECT_EQ(app->hitTestScreen({5, 5}, nullptr).first, second.get());
    for (const auto& w : {alert, first, second}) app->removeWindow(w.get());
}

TEST(UIScreenAndDevice, TheHostSetsThemBeforeBoot) {
    UIScreen::mainScreen()->setBounds({0, 0, 768, 1024});
    UIScreen::mainScreen()->setScale(2);
    UIDevice::currentDevice()->setModel("iPad");
    EXPECT_EQ(UIScreen::mainScreen()->bounds().size, (CGSize{768, 1024}));
    EXPECT_EQ(UIScreen::mainScreen()->scale(), 2);
    EXPECT_EQ(UIDevice::currentDevice()->model(), "iPad");
    UIScreen::mainScreen()->setBounds({0, 0, 320, 480});
    UIScreen::mainScreen()->setScale(0);
    EXPECT_EQ(UIScreen::mainScreen()->scale(), 1);
    UIDevice::currentDevice()->setModel("iPhone");
}

}  // namespace
