#include "sim/device/DevicePresets.h"
#include "sim/device/WindowFingers.h"
#include "sim/device/WindowLayout.h"

#include <gtest/gtest.h>

namespace {

using Points = std::vector<CGPoint>;


const CGSize kPhone{320, 480};

TEST(WindowFingers, TheMouseIsOneFingerOrAMirroredPairWithAlt) {
    WindowFingers fingers(kPhone);
    EXPECT_EQ(fingers.mouseDown({100, 200}, false).points, (Points{{100, 200}}));
    EXPECT_EQ(fingers.mouseMoved({110, 210}, true, false)->points, (Points{{110, 210}}));
    EXPECT_EQ(fingers.mouseUp()->phase, UITouchPhaseEnded);
    EXPECT_FALSE(fingers.mouseMoved({0, 0}, false, false));  // a mouse without its button down
    EXPECT_FALSE(fingers.mouseUp());

    const auto down = fingers.mouseDown({200, 300}, true);
    EXPECT_EQ(down.phase, UITouchPhaseBegan);
    EXPECT_EQ(down.points, (Points{{200, 300}, {120, 180}}));
    EXPECT_EQ(fingers.mouseMoved({220, 300}, true, false)->points, (Points{{220, 300}, {100, 180}}));
    EXPECT_EQ(*fingers.secondFinger(), (CGPoint{100, 180}));
}

TEST(WindowFingers, ShiftWithAltCarriesThePairAndLettingGoOfAltLeavesTheSecond) {
    WindowFingers fingers(kPhone);
    fingers.mouseDown({200, 300}, true);
    EXPECT_EQ(fingers.mouseMoved({210, 290}, true, true)->points, (Points{{210, 290}, {130, 170}}));
    EXPECT_EQ(fingers.mouseMoved({230, 290}, false, false)->points, (Points{{230, 290}, {130, 170}}));
}

TEST(WindowFingers, TouchScreenFingersJoinOneByOneAndTheFirstToLiftEndsTheTouch) {
    WindowFingers fingers(kPhone);
    EXPECT_EQ(fingers.fingerDown(7, {10, 10})->points, (Points{{10, 10}}));
    const auto second = fingers.fingerDown(9, {50, 60});
    EXPECT_EQ(second->phase, UITouchPhaseBegan);
    EXPECT_EQ(second->points, (Points{{50, 60}}));  // the first stays where it is
    EXPECT_EQ(fingers.fingerMoved(9, {55, 65})->points, (Points{{10, 10}, {55, 65}}));
    EXPECT_FALSE(fingers.fingerMoved(3, {0, 0}));  // not a finger that went down

    EXPECT_EQ(fingers.fingerUp(7)->phase, UITouchPhaseEnded);
    EXPECT_FALSE(fingers.fingerMoved(9, {60, 70}));  // ended with the first
    EXPECT_FALSE(fingers.fingerDown(4, {1, 1}));
    EXPECT_FALSE(fingers.fingerUp(9));
    EXPECT_EQ(fingers.fingerDown(4, {1, 1})->phase, UITouchPhaseBegan);  // a fresh touch
}

TEST(WindowLayout, ScalesByWholeStepsThatFitOrDownWhenNoneDoes) {
    const WindowRect monitor{0, 0, 1920, 1080};
    const struct {
        const char* device;
        WindowPlacement placement;
        double scale;
    } cases[] = {
        {"iphone", WindowPlacement::Centre, 2},       // 640x960 fits in 1080
        {"iphone", WindowPlacement::Left, 2},
        {"iphone-430", WindowPlacement::Centre, 1},   // 932 of 1080
        {"ipad", WindowPlacement::Centre, 0.92 * 1080 / 1024},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.device);
        const auto config = *devicePreset(c.device);
        const auto layout = layoutWindow({config.screenWidth, config.screenHeight}, monitor, c.placement);
        EXPECT_DOUBLE_EQ(layout.scale, c.scale);
        EXPECT_LE(layout.frame.height, monitor.height);
        EXPECT_GE(layout.frame.y, 0);
    }
}

TEST(WindowLayout, TwoWindowsSitEitherSideOfTheMiddleWithoutOverlapping) {
    const WindowRect monitor{100, 0, 1280, 1024};
    const auto left = layoutWindow(kPhone, monitor, WindowPlacement::Left).frame;
    const auto right = layoutWindow(kPhone, monitor, WindowPlacement::Right).frame;
    EXPECT_GE(left.x, monitor.x);
    EXPECT_LT(left.x + left.width, right.x);
    EXPECT_LE(right.x + right.width, monitor.x + monitor.width);
    EXPECT_EQ(left.y, right.y);
}

TEST(DevicePresets, KnowsTheFourDevicesAndNothingElse) {
    EXPECT_EQ(devicePreset("iphone")->screenWidth, 320);
    EXPECT_EQ(devicePreset("iphone-375")->screenScale, 2);
    EXPECT_EQ(devicePreset("iphone-430")->screenWidth * devicePreset("iphone-430")->screenScale, 1290);
    EXPECT_EQ(devicePreset("ipad")->model, "iPad");
    EXPECT_FALSE(devicePreset("iPhone"));
    EXPECT_FALSE(devicePreset(""));
}

}  // namespace
