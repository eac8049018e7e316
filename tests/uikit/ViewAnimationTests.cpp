#include "ViewsTestSupport.h"

#include "platform/uikit/UIView.h"

#include <gtest/gtest.h>

namespace {

struct ViewAnimation : ::testing::Test {
    void SetUp() override {
        UIViewAnimation::resetForTesting();
        recorder = std::make_shared<Recorder>();
        view = UIView::create({0, 0, 100, 100});
    }
    CGRect presentedFrame() const { return view->layer()->presentationLayer()->frame(); }
    void slideTo(CGFloat x, double seconds, bool fromCurrent, const char* id) {
        UIView::beginAnimations(id, &context);
        UIView::setAnimationBeginsFromCurrentState(fromCurrent);
        UIView::setAnimationDelegate(recorder.get());
        UIView::setAnimationDidStopSelector(RecorderMessage::blockDidStop.selector());
        UIView::setAnimationDuration(seconds);
        UIView::setAnimationCurve(UIViewAnimationCurveLinear);
        CGRect frame = view->frame();
        frame.origin.x = x;
        view->setFrame(frame);
        UIView::commitAnimations();
    }
    std::shared_ptr<Recorder> recorder;
    std::shared_ptr<UIView> view;
    int context = 0;
};

TEST_F(ViewAnimation, ABlockChangesTheModelAtOnceAndTheDrawingOverItsDuration) {
    slideTo(200, 0.5, false, "slide");
    EXPECT_EQ(view->frame().origin.x, 200);
    EXPECT_EQ(presentedFrame().origin.x, 0);
    runFor(0.25);
    EXPECT_EQ(presentedFrame().origin.x, 100);
    EXPECT_TRUE(recorder->log.empty());
    runFor(0.25);
    EXPECT_EQ(presentedFrame().origin.x, 200);
    EXPECT_EQ(recorder->log, (std::vector<std::string>{"block slide finished"}));
    EXPECT_EQ(recorder->lastContext, &context);
}

// A second block starts while the first is halfway (x drawn at 100, model at 200).
TEST_F(ViewAnimation, BeginningFromTheCurrentStateStartsWhereTheViewIsDrawn) {
    for (bool fromCurrent : {false, true}) {
        view->setFrame({0, 0, 100, 100});
        slideTo(200, 1.0, false, "first");
        runFor(0.5);
        slideTo(0, 1.0, fromCurrent, "back");
        // Without it the new animation starts from the model value, 200: the view jumps.
        EXPECT_EQ(presentedFrame().origin.x, fromCurrent ? 100 : 200) << fromCurrent;
        runFor(0.5);
        EXPECT_EQ(presentedFrame().origin.x, fromCurrent ? 50 : 100) << fromCurrent;
        runFor(0.5);
    }
}

TEST_F(ViewAnimation, AReplacedAnimationStopsItsBlockUnfinishedAtOnce) {
    slideTo(200, 1.0, false, "first");
    runFor(0.5);
    slideTo(0, 1.0, true, "second");
    EXPECT_EQ(recorder->log, (std::vector<std::string>{"block first cut"}));
    runFor(1.0);
    EXPECT_EQ(recorder->log.back(), "block second finished");
}

TEST_F(ViewAnimation, AViewReleasedMidAnimationStopsItsBlockUnfinishedAtTheNextTurn) {
    slideTo(200, 1.0, false, "gone");
    runFor(0.5);
    view.reset();
    EXPECT_TRUE(recorder->log.empty());
    runFor(0);
    EXPECT_EQ(recorder->log, (std::vector<std::string>{"block gone cut"}));
}

TEST_F(ViewAnimation, EveryAnimatablePropertyIsRecordedAndBlocksWaitForAllOfThem) {
    UIView::beginAnimations(nullptr, nullptr);
    UIView::setAnimationDelegate(recorder.get());
    UIView::setAnimationDidStopSelector(RecorderMessage::blockDidStop.selector());
    UIView::setAnimationDuration(0.4);
    view->setAlpha(0);
    view->setTransform(CGAffineTransformMakeScale(2, 2));
    view->setCenter({10, 10});
    view->setBounds({0, 0, 10, 10});
    UIView::commitAnimations();
    const auto keys = view->layer()->animationKeys();
    EXPECT_EQ(keys, (std::vector<std::string>{"opacity", "transform", "position", "bounds"}));
    runFor(0.2);
    const auto presented = view->layer()->presentationLayer();
    EXPECT_FLOAT_EQ(presented->opacity(), 0.5f);  // ease in and out is symmetric at one half
    runFor(0.2);
    EXPECT_EQ(recorder->log, (std::vector<std::string>{"block nil finished"}));
}

TEST_F(ViewAnimation, ABlockThatChangesNothingStopsAtTheNextTurnOfTheLoop) {
    UIView::beginAnimations("empty", nullptr);
    UIView::setAnimationDelegate(recorder.get());
    UIView::setAnimationDidStopSelector(RecorderMessage::blockDidStop.selector());
    UIView::setAnimationDuration(5);
    UIView::commitAnimations();
    EXPECT_TRUE(recorder->log.empty());
    runFor(0);
    EXPECT_EQ(recorder->log, (std::vector<std::string>{"block empty finished"}));
}

TEST_F(ViewAnimation, WithAnimationsDisabledChangesOnlyTheModel) {
    UIView::setAnimationsEnabled(false);
    EXPECT_FALSE(UIView::areAnimationsEnabled());
    slideTo(200, 1.0, false, "off");
    EXPECT_EQ(presentedFrame().origin.x, 200);
    EXPECT_FALSE(view->layer()->hasAnimations());
    runFor(0);
    EXPECT_EQ(recorder->log, (std::vector<std::string>{"block off finished"}));
    UIView::setAnimationsEnabled(true);
}

TEST_F(ViewAnimation, TheBlockFormReportsCompletionAndHonoursDelayAndOptions) {
    std::vector<bool> completions;
    UIView::animateWithDuration(
        1.0, 0.5, UIViewAnimationOptionCurveLinear, [&] { view->setAlpha(0); },
        [&](bool finished) { completions.push_back(finished); });
    runFor(0.5);
    EXPECT_FLOAT_EQ(view->layer()->presentationLayer()->opacity(), 1);  // still waiting
    runFor(0.25);
    EXPECT_FLOAT_EQ(view->layer()->presentationLayer()->opacity(), 0.75f);
    runFor(0.75);
    EXPECT_EQ(completions, (std::vector<bool>{true}));
    UIView::animateWithDuration(0.3, [&] { view->setAlpha(1); });
    runFor(0.3);
    EXPECT_EQ(completions.size(), 1u);
}

}  // namespace
