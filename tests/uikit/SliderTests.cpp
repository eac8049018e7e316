#include "ScreenTestSupport.h"

#include "platform/uikit/UISlider.h"

#include <gtest/gtest.h>

namespace {

using Slider = OnScreen;

TEST(UISlider, ClampsItsValueToItsRange) {
    struct Case {
        float minimum, maximum, set, value;
    } const cases[] = {
        {0, 1, 0.25f, 0.25f}, {0, 1, -3, 0},   {0, 1, 7, 1},
        {10, 20, 15, 15},     {10, 20, 0, 10}, {-1, 1, 2, 1},
    };
    for (const Case& c : cases) {
        auto slider = UIView::create<UISlider>(CGRectMake(0, 0, 200, 23));
        slider->setMaximumValue(c.maximum);
        slider->setMinimumValue(c.minimum);
        slider->setValue(c.set);
        EXPECT_EQ(slider->value(), c.value) << c.minimum << ".." << c.maximum << " " << c.set;
    }
    auto slider = UIView::create<UISlider>(CGRectMake(0, 0, 200, 23));
    slider->setValue(0.8f);
    slider->setMaximumValue(0.5f);
    EXPECT_EQ(slider->value(), 0.5f) << "a lower maximum pulls the value down";
    slider->setMinimumValue(2);
    EXPECT_EQ(slider->maximumValue(), 2) << "a minimum above the maximum raises it";
    EXPECT_EQ(slider->value(), 2);
}

TEST(UISlider, IsAlways23PointsHigh) {
    auto slider = UIView::create<UISlider>(CGRectMake(5, 6, 200, 60));
    EXPECT_EQ(slider->frame(), (CGRect{{5, 6}, {200, 23}}));
    slider->setFrame(CGRectMake(0, 0, 100, 5));
    EXPECT_EQ(slider->frame().size, (CGSize{100, 23}));
}

// The slider spans 200 points from x = 10, so its thumb travels 177 points from x = 21.5.
struct Drag {
    bool continuous;
    long reportsBeforeLift, reportsAfterLift;
};

TEST_F(Slider, FollowsTheFingerOnItsThumbAndReportsContinuouslyOrOnRelease) {
    for (const Drag d : {Drag{true, 4, 4}, Drag{false, 0, 1}}) {
        auto slider = UIView::create<UISlider>(CGRectMake(10, 100, 200, 23));
        window->addSubview(slider);
        slider->setContinuous(d.continuous);
        ActionLog log;
        log.watch(*slider);
        finger(UITouchPhaseBegan, {24, 110});  // a little right of the thumb's centre
        for (CGFloat x : {50.0f, 80.0f, 100.0f, 112.5f}) finger(UITouchPhaseMoved, {x, 130});
        EXPECT_NEAR(slider->value(), 0.5f, 1e-5f) << "the thumb keeps where the finger holds it";
        EXPECT_EQ(log.count("changed by touch"), d.reportsBeforeLift) << d.continuous;
        finger(UITouchPhaseEnded, {112.5f, 130});
        EXPECT_EQ(log.count("changed by touch"), d.reportsAfterLift) << d.continuous;
        slider->removeFromSuperview();
    }
}

TEST_F(Slider, StopsAtItsEndsAndIgnoresAFingerAwayFromTheThumb) {
    auto slider = UIView::create<UISlider>(CGRectMake(10, 100, 200, 23));
    window->addSubview(slider);
    ActionLog log;
    log.watch(*slider);
    drag({21, 110}, {400, 110});
    EXPECT_EQ(slider->value(), 1);
    drag({199, 110}, {-50, 110});
    EXPECT_EQ(slider->value(), 0);
    log.log.clear();
    drag({150, 110}, {180, 110});  // on the track, far from the thumb
    EXPECT_EQ(slider->value(), 0);
    EXPECT_TRUE(log.log.empty());
    slider->setValue(0.5f);
    EXPECT_TRUE(log.log.empty()) << "a value set in code is not reported";
}

}  // namespace
