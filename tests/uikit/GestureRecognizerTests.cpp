#include "ViewsTestSupport.h"

#include "platform/uikit/UIApplication.h"
#include "platform/uikit/UIPinchGestureRecognizer.h"
#include "platform/uikit/UIRotationGestureRecognizer.h"
#include "platform/uikit/UIWindow.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace {

std::vector<std::string>& viewLog() {
    static std::vector<std::string> log;
    return log;
}

// A view that logs the phases it is sent, to see what recognisers leave it.
class PhaseView : public UIView {
public:
    static Class class_();
    PhaseView() : UIView(class_()) {}
};

template <const char* Phase>
void logPhase(id, SEL, const UITouchSet* touches, UIEvent*) {
    viewLog().push_back(std::string(Phase) + " " + std::to_string(touches->count()));
}

constexpr char kBegan[] = "began", kMoved[] = "moved", kEnded[] = "ended",
               kCancelled[] = "cancelled";

Class PhaseView::class_() {
    static const Class cls = objc_defineClass(
        "TestPhaseView", UIView::class_(),
        {UIResponderMessage::touchesBegan.implementedBy(&logPhase<kBegan>),
         UIResponderMessage::touchesMoved.implementedBy(&logPhase<kMoved>),
         UIResponderMessage::touchesEnded.implementedBy(&logPhase<kEnded>),
         UIResponderMessage::touchesCancelled.implementedBy(&logPhase<kCancelled>)});
    return cls;
}

struct Recognizers : ::testing::Test {
    void SetUp() override {
        viewLog().clear();
        recorder = std::make_shared<Recorder>();
        window = UIView::create<UIWindow>({0, 0, 320, 480});
        window->makeKeyAndVisible();
        view = UIView::create<PhaseView>({0, 0, 320, 480});
        window->addSubview(view);
    }
    void TearDown() override { UIApplication::sharedApplication()->removeWindow(window.get()); }
    template <typename R>
    std::shared_ptr<R> attach() {
        auto recognizer = std::make_shared<R>(recorder.get(), RecorderMessage::onGesture.selector());
        view->addGestureRecognizer(recognizer);
        return recognizer;
    }
    static void send(UITouchPhase phase, std::vector<CGPoint> points, double t) {
        UIApplication::sharedApplication()->sendTouches(phase, points, t);
    }
    std::shared_ptr<Recorder> recorder;
    std::shared_ptr<UIWindow> window;
    std::shared_ptr<UIView> view;
};

TEST_F(Recognizers, OneFingerNeverBeginsAPinchOrARotation) {
    auto pinch = attach<UIPinchGestureRecognizer>();
    auto rotation = attach<UIRotationGestureRecognizer>();
    send(UITouchPhaseBegan, {{100, 100}}, 1.0);
    for (int i = 1; i <= 5; ++i) send(UITouchPhaseMoved, {{100.f + 30 * i, 100}}, 1.0 + i * 0.1);
    EXPECT_EQ(pinch->state(), UIGestureRecognizerStatePossible);
    EXPECT_EQ(rotation->state(), UIGestureRecognizerStatePossible);
    send(UITouchPhaseEnded, {}, 2.0);
    EXPECT_TRUE(recorder->log.empty());
    EXPECT_EQ(viewLog(), (std::vector<std::string>{"began 1", "moved 1", "moved 1", "moved 1",
                                                   "moved 1", "moved 1", "ended 1"}));
}

TEST_F(Recognizers, APinchReportsScaleAgainstTheFirstSpreadAndEndsWhenAFingerLifts) {
    auto pinch = attach<UIPinchGestureRecognizer>();
    send(UITouchPhaseBegan, {{100, 200}, {200, 200}}, 1.0);  // 100 apart
    send(UITouchPhaseMoved, {{99, 200}, {201, 200}}, 1.1);   // under the threshold
    EXPECT_EQ(pinch->state(), UIGestureRecognizerStatePossible);
    send(UITouchPhaseMoved, {{75, 200}, {225, 200}}, 1.2);
    EXPECT_EQ(pinch->state(), UIGestureRecognizerStateBegan);
    EXPECT_FLOAT_EQ(pinch->scale(), 1.5f);
    send(UITouchPhaseMoved, {{125, 200}, {175, 200}}, 1.7);
    EXPECT_FLOAT_EQ(pinch->scale(), 0.5f);
    EXPECT_FLOAT_EQ(pinch->velocity(), -2.0f);  // one unit of scale in half a second
    send(UITouchPhaseEnded, {}, 1.8);
    EXPECT_EQ(recorder->log, (std::vector<std::string>{"gesture 1", "gesture 2", "gesture 3"}));
    EXPECT_EQ(pinch->state(), UIGestureRecognizerStatePossible);  // ready for the next one
    EXPECT_FLOAT_EQ(pinch->scale(), 1);
}

TEST_F(Recognizers, ARotationFollowsTheTurnOfTheFingersPastHalfATurn) {
    auto rotation = attach<UIRotationGestureRecognizer>();
    const CGPoint c{160, 240};
    auto fingersAt = [&](double angle) {
        const CGFloat dx = 50 * std::cos(angle), dy = 50 * std::sin(angle);
        return std::vector<CGPoint>{{c.x - dx, c.y - dy}, {c.x + dx, c.y + dy}};
    };
    send(UITouchPhaseBegan, fingersAt(0), 1.0);
    double t = 1.0;
    for (double angle = 0.5; angle <= 3.5; angle += 0.5)
        send(UITouchPhaseMoved, fingersAt(angle), t += 0.1);
    EXPECT_NEAR(rotation->rotation(), 3.5, 1e-4);  // clockwise on the screen, not wrapped
    EXPECT_NEAR(rotation->velocity(), 5.0, 1e-3);
    send(UITouchPhaseCancelled, {}, t + 0.1);
    EXPECT_EQ(recorder->log.back(), "gesture 4");
}

struct CancelCase {
    bool cancels;
    std::vector<std::string> expected;
};

TEST_F(Recognizers, ARecognisedGestureCancelsItsTouchesInTheViewUnlessToldNotTo) {
    const CancelCase cases[] = {
        {true, {"began 1", "moved 1", "cancelled 1"}},
        {false, {"began 1", "moved 1", "moved 1", "moved 1", "ended 1"}},
    };
    for (const CancelCase& c : cases) {
        viewLog().clear();
        auto pinch = attach<UIPinchGestureRecognizer>();
        pinch->setCancelsTouchesInView(c.cancels);
        send(UITouchPhaseBegan, {{100, 200}, {200, 200}}, 1.0);  // the view takes one finger
        send(UITouchPhaseMoved, {{100, 201}, {200, 200}}, 1.1);
        send(UITouchPhaseMoved, {{50, 200}, {250, 200}}, 1.2);  // recognised here
        send(UITouchPhaseMoved, {{40, 200}, {260, 200}}, 1.3);
        send(UITouchPhaseEnded, {}, 1.4);
        EXPECT_EQ(viewLog(), c.expected) << c.cancels;
        view->removeGestureRecognizer(pinch.get());
        EXPECT_EQ(pinch->view(), nullptr);
    }
}

TEST_F(Recognizers, ARecogniserOnAnAncestorSeesTouchesOfItsSubviews) {
    auto pinch =
        std::make_shared<UIPinchGestureRecognizer>(recorder.get(), RecorderMessage::onGesture.selector());
    window->addGestureRecognizer(pinch);
    send(UITouchPhaseBegan, {{100, 200}, {200, 200}}, 1.0);
    send(UITouchPhaseMoved, {{50, 200}, {250, 200}}, 1.1);
    EXPECT_FLOAT_EQ(pinch->scale(), 2);
    EXPECT_EQ(pinch->numberOfTouches(), 2u);
    EXPECT_EQ(pinch->locationInView(nullptr), (CGPoint{150, 200}));
    send(UITouchPhaseEnded, {}, 1.2);
    window->removeGestureRecognizer(pinch.get());
}

TEST_F(Recognizers, ATargetThatWentAwayIsNotSentTheAction) {
    auto pinch = attach<UIPinchGestureRecognizer>();
    recorder.reset();
    send(UITouchPhaseBegan, {{100, 200}, {200, 200}}, 1.0);
    send(UITouchPhaseMoved, {{50, 200}, {250, 200}}, 1.1);  // would crash on a dangling target
    EXPECT_EQ(pinch->state(), UIGestureRecognizerStateBegan);
    send(UITouchPhaseEnded, {}, 1.2);
}

}  // namespace
