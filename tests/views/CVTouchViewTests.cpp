#include "tweak/views/CVTouchView.h"

#include "platform/uikit/UIApplication.h"
#include "platform/uikit/UITouchSet.h"
#include "platform/uikit/UIWindow.h"
#include "tests/views/FakeTouchDelegate.h"
#include "tweak/session/CVSessionState.h"
#include "tweak/settings/CVSettings.h"
#include "tweak/views/CVPassThroughRule.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Log = std::vector<std::string>;

const Log kBegan{"lockscreenTouchesBegan", "restartDimTimer: 10"};
const Log kMoved{"lockscreenTouchesMoved", "restartDimTimer: 10"};
const Log kEnded{"lockscreenTouchesEnded", "restartDimTimer: 10"};

constexpr CGRect kScreen{{0, 0}, {320, 480}};

// A class of the lock screen (or a control on it), standing in for SpringBoard's by name.
Class standIn(const char* name, Class superclass = UIView::class_()) {
    return objc_defineClass(name, superclass, {});
}

std::shared_ptr<UIView> viewOf(Class cls, CGRect frame = kScreen) {
    return UIView::create<UIView>(frame, cls);
}

// A parent that writes the touches passed up to it into the fake's log.
void parentSaw(id, SEL cmd, const UITouchSet*, UIEvent*) {
    FakeTouchDelegate::log().push_back(std::string("parent ") + sel_getName(cmd));
}

Class recordingParent() {
    return objc_defineClass("TestRecordingParentView", UIView::class_(),
                            {UIResponderMessage::touchesBegan.implementedBy(&parentSaw),
                             UIResponderMessage::touchesMoved.implementedBy(&parentSaw),
                             UIResponderMessage::touchesEnded.implementedBy(&parentSaw)});
}

class TouchCapture : public ::testing::Test {
protected:
    void SetUp() override {
        FakeTouchDelegate::log().clear();
        FakeTouchDelegate::registerSpringBoardController();
        settings.setUnlockType(CVUnlockType::Drag);
        CVSession().settings = nullptr;
    }
    void TearDown() override {
        FakeTouchDelegate::log().clear();
        for (const auto& w : UIApplication::sharedApplication()->windows()) {
            UIApplication::sharedApplication()->removeWindow(w.get());
        }
    }

    // A touch capture view of `frame` that reports to the fake.
    std::shared_ptr<CVTouchView> touchViewOf(CGRect frame) {
        auto view = UIView::create<CVTouchView>(frame);
        view->setDelegate(delegate);
        return view;
    }

    CVSettings& settings = CVSettings::sharedCVSettings();
    std::shared_ptr<FakeTouchDelegate> delegate = std::make_shared<FakeTouchDelegate>();
};

TEST_F(TouchCapture, InitialisesAsANearlyInvisibleViewAndSharesTheSettings) {
    const auto view = touchViewOf(kScreen);
    ASSERT_TRUE(view);
    EXPECT_TRUE(view->isMemberOfClass(objc_getClass("CVTouchView")));
    EXPECT_EQ(view->frame(), kScreen);
    const CGColorRef background = view->backgroundColor()->CGColor();
    ASSERT_EQ(CGColorGetNumberOfComponents(background), 2u);
    EXPECT_EQ(CGColorGetComponents(background)[0], 0.5f);
    EXPECT_EQ(CGColorGetAlpha(background), 0.01f);
    EXPECT_EQ(CVSession().settings, &settings);
}

TEST_F(TouchCapture, CapturesThePassiveLockScreenAndPassesEverythingElseThrough) {
    const struct {
        Class cls;
        bool captured;
    } cases[] = {
        {standIn("SBWallpaperView"), true},
        {UIView::class_(), true},  // a bare container
        {standIn("SBAwayBulletinTableView"), true},
        {standIn("SBAwayDateView"), true},
        {standIn("SBBatteryChargingView"), true},
        {standIn("UIWebBrowserView"), true},
        {standIn("SBAwayView"), true},
        {standIn("SBBatteryReflectionView"), true},
        {standIn("SBAwayChargingView"), true},
        {standIn("TestWallpaperPattern", standIn("SBWallpaperView")), true},
        {standIn("TestLockScreenButton"), false},  // a control
        {standIn("TestLockScreenSlider", standIn("TestLockScreenButton")), false},
    };
    const auto touchView = touchViewOf(kScreen);
    for (const auto& c : cases) {
        const auto lockScreen = viewOf(c.cls);
        delegate->awayView = lockScreen.get();
        UIView* expected = c.captured ? static_cast<UIView*>(touchView.get()) : lockScreen.get();
        EXPECT_EQ(touchView->hitTest({100, 100}, nullptr), expected) << class_getName(c.cls);
    }
}

TEST_F(TouchCapture, CapturesNothingWhereTheLockScreenHitsNothing) {
    const auto lockScreen = viewOf(standIn("SBAwayView"));
    const auto touchView = touchViewOf(kScreen);
    delegate->awayView = lockScreen.get();
    EXPECT_EQ(touchView->hitTest({100, 500}, nullptr), nullptr);
    delegate->awayView = nullptr;
    EXPECT_EQ(touchView->hitTest({100, 100}, nullptr), nullptr);
}

TEST_F(TouchCapture, PullBadgeModeHitTestsAsAPlainViewWithoutAskingTheLockScreen) {
    delegate->passiveBackgroundOnly = false;  // the controller in the pull-badge mode
    const auto lockScreen = viewOf(standIn("SBAwayView"));
    delegate->awayView = lockScreen.get();
    const auto touchView = touchViewOf({{270, 200}, {100, 80}});
    EXPECT_EQ(touchView->hitTest({10, 10}, nullptr), touchView.get());
    EXPECT_EQ(touchView->hitTest({-10, 10}, nullptr), nullptr);
    touchView->setHidden(true);
    EXPECT_EQ(touchView->hitTest({10, 10}, nullptr), nullptr);
    EXPECT_EQ(delegate->awayViewRequests, 0);
}

TEST_F(TouchCapture, EachPhaseReachesTheControllerThenRestartsTheDimTimer) {
    const auto parent = viewOf(recordingParent());
    const auto touchView = touchViewOf(kScreen);
    parent->addSubview(touchView);
    const UITouchSet touches;
    touchView->touchesBegan(&touches, nullptr);
    EXPECT_EQ(FakeTouchDelegate::log(), kBegan);
    EXPECT_EQ(delegate->lastTouches, &touches);
    FakeTouchDelegate::log().clear();
    touchView->touchesMoved(&touches, nullptr);
    EXPECT_EQ(FakeTouchDelegate::log(), kMoved);
    FakeTouchDelegate::log().clear();
    touchView->touchesEnded(&touches, nullptr);
    EXPECT_EQ(FakeTouchDelegate::log(), kEnded);  // and the parent never sees them
    FakeTouchDelegate::log().clear();
    touchView->touchesCancelled(&touches, nullptr);
    EXPECT_EQ(FakeTouchDelegate::log(), Log{});
}

TEST_F(TouchCapture, OnScreenATouchOnTheWallpaperIsCapturedAndOneOnAControlIsNot) {
    const auto window = UIView::create<UIWindow>(kScreen);
    window->makeKeyAndVisible();
    const auto lockScreen = viewOf(standIn("SBAwayView"));
    lockScreen->addSubview(viewOf(standIn("SBWallpaperView")));
    lockScreen->addSubview(viewOf(standIn("TestLockScreenButton"), {{0, 400}, {320, 80}}));
    window->addSubview(lockScreen);
    window->addSubview(touchViewOf(kScreen));
    delegate->awayView = lockScreen.get();
    auto send = [](UITouchPhase phase, CGPoint point, double t) {
        const CGPoint points[] = {point};
        UIApplication::sharedApplication()->sendTouches(phase, points, t);
    };

    send(UITouchPhaseBegan, {100, 100}, 1.0);
    send(UITouchPhaseMoved, {120, 140}, 1.1);
    send(UITouchPhaseEnded, {120, 140}, 1.2);
    Log expected = kBegan;
    expected.insert(expected.end(), kMoved.begin(), kMoved.end());
    expected.insert(expected.end(), kEnded.begin(), kEnded.end());
    EXPECT_EQ(FakeTouchDelegate::log(), expected);

    FakeTouchDelegate::log().clear();
    send(UITouchPhaseBegan, {100, 100}, 2.0);
    send(UITouchPhaseCancelled, {100, 100}, 2.1);
    EXPECT_EQ(FakeTouchDelegate::log(), kBegan);  // the cancel reaches neither

    FakeTouchDelegate::log().clear();
    send(UITouchPhaseBegan, {100, 440}, 3.0);
    send(UITouchPhaseEnded, {100, 440}, 3.1);
    EXPECT_EQ(FakeTouchDelegate::log(), Log{});
}

// The rule on its own, with a class lookup that leaves one class out as a SpringBoard might.
const char* missingClass = "";

Class lookUpAllBut(std::string_view name) {
    return name == missingClass ? nullptr : objc_getClass(name);
}

TEST(PassThroughRule, AClassMissingFromSpringBoardNeverMatches) {
    for (const char* name : {"SBWallpaperView", "UIView", "SBAwayBulletinTableView",
                             "SBAwayDateView", "SBBatteryChargingView", "UIWebBrowserView",
                             "SBAwayView", "SBBatteryReflectionView", "SBAwayChargingView"}) {
        const Class cls = std::string_view(name) == "UIView" ? UIView::class_() : standIn(name);
        const auto view = viewOf(cls);
        missingClass = name;
        EXPECT_FALSE(CVTouchViewCapturesHitView(view.get(), &lookUpAllBut)) << name;
        missingClass = "";
        EXPECT_TRUE(CVTouchViewCapturesHitView(view.get(), &lookUpAllBut)) << name;
    }
    EXPECT_FALSE(CVTouchViewCapturesHitView(nullptr));
}

}  // namespace
