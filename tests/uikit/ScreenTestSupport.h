#pragma once

// Shared by the control, table and presentation tests: a key window covering the screen, fingers
// put down on it through the application (so that touches go through the real hit testing), and
// an object that logs the control actions it is sent.

#include "ViewsTestSupport.h"

#include "platform/graphics/CGImage.h"
#include "platform/uikit/UIApplication.h"
#include "platform/uikit/UIControl.h"
#include "platform/uikit/UIEvent.h"
#include "platform/uikit/UIWindow.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

// The actions an ActionLog answers.
namespace ActionLogMessage {
inline constinit const UIControlAction changed{"changed:forEvent:"};
inline constinit const UIControlAction tapped{"tapped:forEvent:"};
inline constinit const UIControlAction touchedDown{"touchedDown:forEvent:"};
inline constinit const UIControlAction liftedOutside{"liftedOutside:forEvent:"};
}  // namespace ActionLogMessage

// Writes one line per action: its name, and "by touch" when an event came with it.
class ActionLog : public NSObject {
public:
    static Class class_() {
        static const Class cls = objc_defineClass(
            "TestActionLog", NSObject::class_(),
            {ActionLogMessage::changed.implementedBy(&record<kChanged>),
             ActionLogMessage::tapped.implementedBy(&record<kTapped>),
             ActionLogMessage::touchedDown.implementedBy(&record<kTouchedDown>),
             ActionLogMessage::liftedOutside.implementedBy(&record<kLiftedOutside>)});
        return cls;
    }
    ActionLog() : NSObject(class_()) {}

    // Registers every action of the log on `control`.
    void watch(UIControl& control) {
        control.addTarget(this, ActionLogMessage::changed.selector(), UIControlEventValueChanged);
        control.addTarget(this, ActionLogMessage::tapped.selector(), UIControlEventTouchUpInside);
        control.addTarget(this, ActionLogMessage::touchedDown.selector(), UIControlEventTouchDown);
        control.addTarget(this, ActionLogMessage::liftedOutside.selector(),
                          UIControlEventTouchUpOutside);
    }
    // How many lines of the log are `line`.
    long count(const std::string& line) const { return std::count(log.begin(), log.end(), line); }

    std::vector<std::string> log;
    std::vector<id> senders;

private:
    static constexpr char kChanged[] = "changed", kTapped[] = "tapped",
                          kTouchedDown[] = "touched down", kLiftedOutside[] = "lifted outside";

    template <const char* Name>
    static void record(id self, SEL, id sender, UIEvent* event) {
        auto* log = static_cast<ActionLog*>(self);
        log->log.push_back(std::string(Name) + (event ? " by touch" : ""));
        log->senders.push_back(sender);
    }
};

// A key window covering the 320 × 480 screen, gone again after the test.
struct OnScreen : ::testing::Test {
    void SetUp() override {
        UIViewAnimation::resetForTesting();
        window = UIView::create<UIWindow>(CGRectMake(0, 0, 320, 480));
        window->makeKeyAndVisible();
    }
    void TearDown() override {
        for (const auto& w : UIApplication::sharedApplication()->windows()) {
            UIApplication::sharedApplication()->removeWindow(w.get());
        }
        runFor(1);  // let flashes and animations end while their views still exist
    }

    static void finger(UITouchPhase phase, CGPoint point) {
        const CGPoint points[] = {point};
        UIApplication::sharedApplication()->sendTouches(phase, points);
    }
    // A finger down at `from`, moved to `to` in `steps` equal steps, then lifted.
    static void drag(CGPoint from, CGPoint to, int steps = 4) {
        finger(UITouchPhaseBegan, from);
        for (int i = 1; i <= steps; ++i) {
            const CGFloat t = CGFloat(i) / CGFloat(steps);
            finger(UITouchPhaseMoved, {from.x + (to.x - from.x) * t, from.y + (to.y - from.y) * t});
        }
        finger(UITouchPhaseEnded, to);
    }
    static void tap(CGPoint point) {
        finger(UITouchPhaseBegan, point);
        finger(UITouchPhaseEnded, point);
    }

    std::shared_ptr<UIWindow> window;
};

// The rows and columns of `image` that hold ink: pixels at least half opaque.
struct Ink {
    CGRect bounds;  // in pixels; the zero rect when there is none
    int bands = 0;  // runs of inked rows separated by empty ones: the lines of a text
};

inline Ink inkOf(const CGImageRef& image) {
    Ink ink;
    if (!image) return ink;
    const size_t w = CGImageGetWidth(image), h = CGImageGetHeight(image);
    size_t x0 = w, y0 = h, x1 = 0, y1 = 0;
    bool previousRowInked = false;
    for (size_t y = 0; y < h; ++y) {
        bool inked = false;
        for (size_t x = 0; x < w; ++x) {
            if (CGImageGetPixelForTesting(image, x, y).a < 128) continue;
            inked = true;
            x0 = std::min(x0, x), x1 = std::max(x1, x + 1);
            y0 = std::min(y0, y), y1 = std::max(y1, y + 1);
        }
        if (inked && !previousRowInked) ++ink.bands;
        previousRowInked = inked;
    }
    if (x1 > x0)
        ink.bounds = CGRectMake(CGFloat(x0), CGFloat(y0), CGFloat(x1 - x0), CGFloat(y1 - y0));
    return ink;
}
