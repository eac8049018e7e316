// What a tweak may ask of SpringBoard, asked the way a tweak asks: classes by name and the
// declared messages through the method tables, with nothing of SpringBoard's own headers.

#include "platform/foundation/NSLog.h"
#include "platform/foundation/RunLoop.h"
#include "platform/graphics/IOSurface.h"
#include "platform/uikit/UIApplication.h"
#include "platform/uikit/UIImage.h"
#include "platform/uikit/UIView.h"
#include "sim/device/Trace.h"
#include "sim/springboard/SimulatedSpringBoard.h"
#include "tests/support/TemporaryRoot.h"
#include "platform/springboard/SpringBoardInterface.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

id sendClass(const char* cls, const ClassMessage<id()>& message) {
    return message.send(objc_getClass(cls));
}

// One booted SpringBoard for the whole test: its objects live as long as the process.
TEST(SpringBoardInterface, EveryOperationATweakCallsAnswersAsSpringBoardDoes) {
    TemporaryRoot root;
    setLogToStandardError(false);
    std::ostringstream sink;
    Trace trace(sink, [] { return RunLoop::main().now(); });
    SimulatedSpringBoard springBoard;
    DeviceConfig config;
    config.passcode = true;
    config.frontApp = "com.example.mail";
    springBoard.boot(config, trace);

    const id away = sendClass("SBAwayController", SB::sharedAwayController);
    ASSERT_NE(away, nullptr);
    EXPECT_EQ(sendClass("SBAwayController", SB::sharedAwayControllerIfExists), away);
    EXPECT_TRUE(SB::isLocked.send(away));
    EXPECT_TRUE(SB::isPasswordProtected.send(away));
    EXPECT_FALSE(SB::isShowingMediaControls.send(away));
    EXPECT_FALSE(SB::isSyncing.send(away));

    const id awayView = SB::awayView.send(away);
    ASSERT_TRUE(awayView && awayView->isKindOfClass(objc_getClass("SBAwayView")));
    const auto snapshot = SB::renderSnapshot.send(awayView);
    ASSERT_TRUE(snapshot);
    EXPECT_EQ(snapshot->size(), CGSizeMake(320, 480));
    const id topBar = SB::topBar.send(awayView);
    ASSERT_TRUE(topBar && topBar->isKindOfClass(UIView::class_()));
    // The lock screen's own hit test finds the wallpaper's neighbours, not nothing.
    UIView* hit = static_cast<UIView*>(awayView)->hitTest(CGPointMake(160, 300), nullptr);
    EXPECT_TRUE(hit && hit->isKindOfClass(objc_getClass("SBAwayBulletinTableView")));

    EXPECT_TRUE(SB::isPasswordProtected.send(sendClass("SBDeviceLockController", SB::sharedController)));
    EXPECT_NE(sendClass("SBStatusBarController", SB::sharedStatusBarController), nullptr);

    const id home = sendClass("SBUIController", SB::sharedInstance);
    SB::restoreIconListAnimated.send(home, false);
    const id content = SB::contentView.send(home);
    ASSERT_TRUE(content && content->isKindOfClass(UIView::class_()));

    const id front = SB::_accessibilityFrontMostApplication.send(UIApplication::sharedApplication());
    ASSERT_NE(front, nullptr);
    EXPECT_EQ(SB::bundleIdentifier.send(front), "com.example.mail");
    const auto surface = SB::createIOSurfaceForFrame.send(SB::contextHostManager.send(front),
                                                       CGRectMake(0, 0, 320, 480));
    ASSERT_TRUE(surface && surface->image);
    EXPECT_EQ(CGImageGetWidth(surface->image), 320u);
    EXPECT_FALSE(SB::createIOSurfaceForFrame.send(SB::contextHostManager.send(front), CGRectZero));

    const auto linen = SB::squareImageForBounds.send(objc_getClass("SBLinenView"),
                                                     CGRectMake(0, 0, 320, 480));
    ASSERT_TRUE(linen);
    EXPECT_EQ(linen->size(), CGSizeMake(320, 480));

    // Classes only tested with isKindOfClass exist by name.
    EXPECT_NE(objc_getClass("SBAwayLockBar"), nullptr);
    EXPECT_EQ(objc_getClass("TPBottomLockBar"), nullptr);  // this SpringBoard has no second bar
}

}  // namespace
