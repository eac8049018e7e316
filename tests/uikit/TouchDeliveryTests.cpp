#include "platform/runtime/Substrate.h"
#include "platform/uikit/UIApplication.h"
#include "platform/uikit/UIEvent.h"
#include "platform/uikit/UIView.h"
#include "platform/uikit/UIWindow.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string>& touchLog() {
    static std::vector<std::string> log;
    return log;
}

// A view class made at run time, as a host's would be, that logs the touches it is sent.
class LoggingView : public UIView {
public:
    static Class class_();
    LoggingView() : UIView(class_()) {}
};

template <const char* Phase>
void logTouches(id self, SEL, const UITouchSet* touches, UIEvent* event) {
    const auto* view = static_cast<UIView*>(self);
    const CGPoint p = touches->anyObject()->locationInView(view);
    touchLog().push_back(std::string(Phase) + " " + std::to_string(view->tag()) + " " +
                         std::to_string(touches->count()) + " @" + std::to_string(int(p.x)) + "," +
                         std::to_string(int(p.y)) + (event ? "" : " no-event"));
}

constexpr char kBegan[] = "began", kMoved[] = "moved", kEnded[] = "ended",
               kCancelled[] = "cancelled";

Class LoggingView::class_() {
    static const Class cls = objc_defineClass(
        "TestLoggingView", UIView::class_(),
        {UIResponderMessage::touchesBegan.implementedBy(&logTouches<kBegan>),
         UIResponderMessage::touchesMoved.implementedBy(&logTouches<kMoved>),
         UIResponderMessage::touchesEnded.implementedBy(&logTouches<kEnded>),
         UIResponderMessage::touchesCancelled.implementedBy(&logTouches<kCancelled>)});
    return cls;
}

std::shared_ptr<LoggingView> loggingView(CGRect frame, int tag) {
    auto view = UIView::create<LoggingView>(frame);
    view->setTag(tag);
    return view;
}

// A fresh screen of windows for each test.
struct Touches : ::testing::Test {
    void SetUp() override {
        touchLog().clear();
        window = UIView::create<UIWindow>({0, 0, 320, 480});
        window->makeKeyAndVisible();
    }
    void TearDown() override {
        for (const auto& w : UIApplication::sharedApplication()->windows()) {
            UIApplication::sharedApplication()->removeWindow(w.get());
        }
    }
    static void send(UITouchPhase phase, std::vector<CGPoint> points, double t) {
        UIApplication::sharedApplication()->sendTouches(phase, points, t);
    }
    std::shared_ptr<UIWindow> window;
};

struct HitCase {
    const char* name;
    std::function<void(UIView&)> change;
    int expected;  // tag of the view hit at (50, 50)
};

TEST_F(Touches, HitTestingSkipsHiddenTransparentAndInertViewsAndPrefersTheFront) {
    const HitCase cases[] = {
        {"front-most", [](UIView&) {}, 2},
        {"hidden", [](UIView& v) { v.setHidden(true); }, 1},
        {"nearly transparent", [](UIView& v) { v.setAlpha(0.009f); }, 1},
        {"just visible", [](UIView& v) { v.setAlpha(0.01f); }, 2},
        {"inert", [](UIView& v) { v.setUserInteractionEnabled(false); }, 1},
        {"moved away",
         [](UIView& v) {
             v.setCenter({200, 200});
         },
         1},
        {"turned onto the point",
         [](UIView& v) {
             v.setCenter({40, 40});
             v.setTransform(CGAffineTransformMakeScale(3, 3));
         },
         2},
    };
    for (const HitCase& c : cases) {
        auto back = loggingView({0, 0, 100, 100}, 1);
        auto front = loggingView({40, 40, 20, 20}, 2);
        front->setFrame({45, 45, 10, 10});
        back->addSubview(front);
        c.change(*front);
        UIView* hit = back->hitTest({50, 50}, nullptr);
        ASSERT_NE(hit, nullptr) << c.name;
        EXPECT_EQ(hit->tag(), c.expected) << c.name;
    }
    auto outside = loggingView({0, 0, 10, 10}, 3);
    EXPECT_EQ(outside->hitTest({10, 5}, nullptr), nullptr);  // the far edge is outside
}

TEST_F(Touches, ATouchStaysWithTheViewItHitForItsWholeSequence) {
    auto target = loggingView({100, 100, 50, 50}, 5);
    window->addSubview(target);
    send(UITouchPhaseBegan, {{110, 120}}, 1.0);
    send(UITouchPhaseMoved, {{300, 400}}, 1.1);  // far outside the view
    send(UITouchPhaseEnded, {}, 1.2);
    EXPECT_EQ(touchLog(), (std::vector<std::string>{"began 5 1 @10,20", "moved 5 1 @200,300",
                                                    "ended 5 1 @200,300"}));
}

TEST_F(Touches, LocationsConvertThroughTransformedViews) {
    auto target = loggingView({0, 0, 100, 100}, 6);
    target->setTransform(CGAffineTransformMakeScale(2, 2));  // covers (-50, -50) to (150, 150)
    window->addSubview(target);
    send(UITouchPhaseBegan, {{140, 10}}, 1.0);
    send(UITouchPhaseMoved, {{120, 30}}, 1.1);
    const auto& touch = UIApplication::sharedApplication()->touchInjector().touches().front();
    EXPECT_EQ(touch->view(), target.get());
    EXPECT_EQ(touch->locationInView(target.get()), (CGPoint{85, 40}));
    EXPECT_EQ(touch->previousLocationInView(target.get()), (CGPoint{95, 30}));
    EXPECT_EQ(touch->locationInView(nullptr), (CGPoint{120, 30}));
    EXPECT_DOUBLE_EQ(touch->timestamp(), 1.1);
    send(UITouchPhaseCancelled, {}, 1.2);
    EXPECT_EQ(touchLog().back(), "cancelled 6 1 @85,40");
}

TEST_F(Touches, APlainViewPassesTouchesUpToTheNextResponder) {
    auto parent = loggingView({0, 0, 200, 200}, 7);
    auto plain = UIView::create({0, 0, 50, 50});
    parent->addSubview(plain);
    window->addSubview(parent);
    send(UITouchPhaseBegan, {{10, 10}}, 1.0);
    send(UITouchPhaseEnded, {}, 1.1);
    EXPECT_EQ(touchLog(), (std::vector<std::string>{"began 7 1 @10,10", "ended 7 1 @10,10"}));
}

decltype(UIViewMessage::hitTest)::Implementation previousHitTest = nullptr;
UIView* hitNothingAboveY100(id self, SEL cmd, CGPoint point, UIEvent* event) {
    return point.y < 100 ? nullptr : previousHitTest(self, cmd, point, event);
}

TEST_F(Touches, AReplacedHitTestDecidesWhichViewGetsTheTouch) {
    // A class of its own, so the replacement stays out of the other tests.
    static const Class hooked = objc_registerClassPair("TestHookedWindow", UIWindow::class_());
    MSHookMethod(ReplaceableMethod{"TestHookedWindow", UIViewMessage::hitTest}, &hitNothingAboveY100,
                 &previousHitTest);
    auto top = UIView::create<UIWindow>({0, 0, 320, 480}, hooked);
    top->setWindowLevel(UIWindowLevelAlert);
    top->addSubview(loggingView({0, 0, 320, 480}, 8));
    top->makeKeyAndVisible();
    window->addSubview(loggingView({0, 0, 320, 480}, 9));
    send(UITouchPhaseBegan, {{10, 10}}, 1.0);  // the alert window declines: the one below gets it
    send(UITouchPhaseEnded, {}, 1.1);
    send(UITouchPhaseBegan, {{10, 200}}, 2.0);
    send(UITouchPhaseEnded, {}, 2.1);
    EXPECT_EQ(touchLog(), (std::vector<std::string>{"began 9 1 @10,10", "ended 9 1 @10,10",
                                                    "began 8 1 @10,200", "ended 8 1 @10,200"}));
}

TEST_F(Touches, AViewTakesASecondFingerOnlyWhenMultipleTouchIsEnabled) {
    for (bool multiple : {false, true}) {
        touchLog().clear();
        auto target = loggingView({0, 0, 320, 480}, multiple ? 11 : 10);
        target->setMultipleTouchEnabled(multiple);
        window->addSubview(target);
        send(UITouchPhaseBegan, {{10, 10}}, 1.0);
        send(UITouchPhaseBegan, {{20, 20}}, 1.1);
        send(UITouchPhaseEnded, {}, 1.2);
        const std::vector<std::string> expected =
            multiple ? std::vector<std::string>{"began 11 1 @10,10", "began 11 1 @20,20",
                                                "ended 11 2 @10,10"}
                     : std::vector<std::string>{"began 10 1 @10,10", "ended 10 1 @10,10"};
        EXPECT_EQ(touchLog(), expected) << multiple;
        target->removeFromSuperview();
    }
}

TEST_F(Touches, TapsInQuickSuccessionCountUp) {
    auto target = loggingView({0, 0, 320, 480}, 12);
    window->addSubview(target);
    const double times[] = {10.0, 10.2, 10.4, 12.0};
    const int expected[] = {1, 2, 3, 1};
    for (int i = 0; i < 4; ++i) {
        send(UITouchPhaseBegan, {{50, 50}}, times[i]);
        EXPECT_EQ(UIApplication::sharedApplication()->touchInjector().touches().front()->tapCount(),
                  expected[i]);
        send(UITouchPhaseEnded, {}, times[i] + 0.05);
    }
}

}  // namespace
