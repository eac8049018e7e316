#include "ScreenTestSupport.h"

#include "platform/uikit/UISwitch.h"

#include <gtest/gtest.h>

namespace {

using Switch = OnScreen;

TEST(UISwitch, IsAlways94By27Points) {
    auto toggle = UIView::create<UISwitch>(CGRectMake(20, 30, 10, 10));
    EXPECT_EQ(toggle->frame(), (CGRect{{20, 30}, {94, 27}}));
    toggle->setFrame(CGRectMake(0, 0, 300, 300));
    EXPECT_EQ(toggle->frame().size, (CGSize{94, 27}));
}

TEST_F(Switch, ATapTogglesItAndReportsTheChange) {
    auto toggle = UIView::create<UISwitch>(CGRectMake(100, 100, 94, 27));
    window->addSubview(toggle);
    ActionLog log;
    log.watch(*toggle);
    tap({150, 110});
    EXPECT_TRUE(toggle->isOn());
    EXPECT_EQ(log.log, (std::vector<std::string>{"touched down by touch", "changed by touch",
                                                 "tapped by touch"}));
    EXPECT_EQ(log.senders[1], toggle.get());
    tap({150, 110});
    EXPECT_FALSE(toggle->isOn());
    EXPECT_EQ(log.count("changed by touch"), 2);
    toggle->setOn(true, true);
    EXPECT_EQ(log.count("changed by touch"), 2) << "a state set in code is not reported";
}

TEST_F(Switch, ASlideSetsTheStateOfItsDirectionAndReportsOnlyAChange) {
    struct Case {
        bool on;
        CGFloat to;
        bool after;
        long reports;
    } const cases[] = {
        {false, 180, true, 1},  // slid right: on
        {true, 180, true, 0},   // already on
        {true, 110, false, 1},  // slid left: off
        {false, 110, false, 0},
    };
    for (const Case& c : cases) {
        auto toggle = UIView::create<UISwitch>(CGRectMake(100, 100, 94, 27));
        window->addSubview(toggle);
        toggle->setOn(c.on);
        ActionLog log;
        log.watch(*toggle);
        drag({145, 110}, {c.to, 112});
        EXPECT_EQ(toggle->isOn(), c.after) << c.on << " to " << c.to;
        EXPECT_EQ(log.count("changed by touch"), c.reports) << c.on << " to " << c.to;
        toggle->removeFromSuperview();
    }
}

TEST_F(Switch, SlidesItsKnobOnTheRunLoopsClockWhenAnimated) {
    auto toggle = UIView::create<UISwitch>(CGRectMake(0, 0, 94, 27));
    const auto& knob = toggle->subviews().back();
    toggle->setOn(true, true);
    EXPECT_EQ(knob->frame().origin.x, 67) << "the model is at the end at once";
    EXPECT_EQ(knob->layer()->presentationLayer()->frame().origin.x, 0);
    runFor(0.1);
    EXPECT_NEAR(knob->layer()->presentationLayer()->frame().origin.x, 33.5f, 0.5f);
    runFor(0.1);
    EXPECT_EQ(knob->layer()->presentationLayer()->frame().origin.x, 67);
}

}  // namespace
