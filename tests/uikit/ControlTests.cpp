#include "ScreenTestSupport.h"

#include "platform/uikit/UIControl.h"
#include "platform/uikit/UIViewController.h"

#include <gtest/gtest.h>

namespace {

using Control = OnScreen;

std::shared_ptr<UIControl> controlAt(UIView& parent, CGRect frame) {
    auto control = UIView::create<UIControl>(frame);
    parent.addSubview(control);
    return control;
}

TEST_F(Control, SendsEachActionToTheTargetsOfTheEventsThatHappened) {
    auto control = controlAt(*window, CGRectMake(0, 0, 50, 50));
    ActionLog log, other;
    log.watch(*control);
    other.watch(*control);
    control->addTarget(&log, ActionLogMessage::changed.selector(), UIControlEventValueChanged);
    control->sendActionsForControlEvents(UIControlEventValueChanged);
    EXPECT_EQ(log.log, std::vector<std::string>{"changed"}) << "registered twice, sent once";
    EXPECT_EQ(log.senders, std::vector<id>{control.get()});
    EXPECT_EQ(other.log, std::vector<std::string>{"changed"});

    control->removeTarget(&log, nullptr, UIControlEventValueChanged);
    control->sendActionsForControlEvents(UIControlEventValueChanged | UIControlEventTouchUpInside);
    EXPECT_EQ(log.log, (std::vector<std::string>{"changed", "tapped"}));
    EXPECT_EQ(other.log, (std::vector<std::string>{"changed", "changed", "tapped"}));
}

TEST_F(Control, ATapSendsTouchDownThenTouchUpInsideAndALiftFarAwayTouchUpOutside) {
    auto control = controlAt(*window, CGRectMake(100, 100, 40, 40));
    ActionLog log;
    log.watch(*control);
    tap({120, 120});
    EXPECT_EQ(log.log, (std::vector<std::string>{"touched down by touch", "tapped by touch"}));
    log.log.clear();
    drag({120, 120}, {135, 200});  // slipped off, but near enough
    drag({120, 120}, {300, 400});
    EXPECT_EQ(log.log,
              (std::vector<std::string>{"touched down by touch", "tapped by touch",
                                        "touched down by touch", "lifted outside by touch"}));
}

TEST_F(Control, ADisabledControlLetsTouchesThroughToWhatLiesBeneath) {
    auto control = controlAt(*window, CGRectMake(100, 100, 40, 40));
    ActionLog log;
    log.watch(*control);
    control->setEnabled(false);
    EXPECT_EQ(window->hitTest({120, 120}, nullptr), window.get());
    tap({120, 120});
    EXPECT_TRUE(log.log.empty());
    control->setEnabled(true);
    EXPECT_EQ(window->hitTest({120, 120}, nullptr), control.get());
}

// A controller class that answers one action, as a settings panel's would.
class AnsweringController : public UIViewController {
public:
    static Class class_() {
        static const Class cls =
            objc_defineClass("TestAnsweringController", UIViewController::class_(),
                             {ActionLogMessage::changed.implementedBy(&changed)});
        return cls;
    }
    AnsweringController() : UIViewController(class_()) {}
    int calls = 0;

private:
    static void changed(id self, SEL, id, UIEvent*) {
        ++static_cast<AnsweringController*>(self)->calls;
    }
};

TEST_F(Control, ANilTargetSendsTheActionToTheFirstResponderUpTheChainThatAnswersIt) {
    auto controller = std::make_shared<AnsweringController>();
    controller->setView(UIView::create(CGRectMake(0, 0, 320, 480)));
    window->addSubview(controller->view());
    auto holder = UIView::create(CGRectMake(0, 0, 100, 100));
    controller->view()->addSubview(holder);
    auto control = controlAt(*holder, CGRectMake(0, 0, 10, 10));
    control->addTarget(nullptr, ActionLogMessage::changed.selector(), UIControlEventValueChanged);
    control->sendActionsForControlEvents(UIControlEventValueChanged);
    EXPECT_EQ(controller->calls, 1);
    // Nobody on the chain answers this one: nothing happens.
    control->addTarget(nullptr, ActionLogMessage::tapped.selector(), UIControlEventValueChanged);
    control->sendActionsForControlEvents(UIControlEventValueChanged);
    EXPECT_EQ(controller->calls, 2);
    // A target that has gone away is skipped, not taken for the responder chain.
    auto another = controlAt(*holder, CGRectMake(0, 0, 10, 10));
    auto gone = std::make_shared<ActionLog>();
    another->addTarget(gone.get(), ActionLogMessage::changed.selector(),
                       UIControlEventValueChanged);
    gone.reset();
    another->sendActionsForControlEvents(UIControlEventValueChanged);
    EXPECT_EQ(controller->calls, 2);
}

}  // namespace
