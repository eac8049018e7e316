// What a tweak may ask of SpringBoard, asked the way a tweak asks: classes by name and messages
// through the method tables, with nothing of SpringBoard's own headers.

#include "platform/foundation/NSLog.h"
#include "platform/foundation/RunLoop.h"
#include "platform/graphics/IOSurface.h"
#include "platform/runtime/objc.h"
#include "platform/uikit/UIApplication.h"
#include "platform/uikit/UIImage.h"
#include "platform/uikit/UIView.h"
#include "sim/device/Trace.h"
#include "sim/springboard/SimulatedSpringBoard.h"
#include "tests/support/TemporaryRoot.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

id sendClass(const char* cls, const char* selector) {
    return objc_msgSendClass<id>(objc_getClass(cls), sel_registerName(selector));
}

template <typename R = id, typename... Args>
R send(id receiver, const char* selector, Args... args) {
    return objc_msgSend<R>(receiver, sel_registerName(selector), args...);
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

    const id away = sendClass("SBAwayController", "sharedAwayController");
    ASSERT_NE(away, nullptr);
    EXPECT_EQ(sendClass("SBAwayController", "sharedAwayControllerIfExists"), away);
    EXPECT_TRUE(send<bool>(away, "isLocked"));
    EXPECT_TRUE(send<bool>(away, "isPasswordProtected"));
    EXPECT_FALSE(send<bool>(away, "isShowingMediaControls"));
    EXPECT_FALSE(send<bool>(away, "isSyncing"));

    const id awayView = send(away, "awayView");
    ASSERT_TRUE(awayView && awayView->isKindOfClass(objc_getClass("SBAwayView")));
    const auto snapshot = send<UIImageRef>(awayView, "renderSnapshot");
    ASSERT_TRUE(snapshot);
    EXPECT_EQ(snapshot->size(), CGSizeMake(320, 480));
    const id topBar = send(awayView, "topBar");
    ASSERT_TRUE(topBar && topBar->isKindOfClass(UIView::class_()));
    // The lock screen's own hit test finds the wallpaper's neighbours, not nothing.
    UIView* hit = static_cast<UIView*>(awayView)->hitTest(CGPointMake(160, 300), nullptr);
    EXPECT_TRUE(hit && hit->isKindOfClass(objc_getClass("SBAwayBulletinTableView")));

    EXPECT_TRUE(send<bool>(sendClass("SBDeviceLockController", "sharedController"),
                           "isPasswordProtected"));
    EXPECT_NE(sendClass("SBStatusBarController", "sharedStatusBarController"), nullptr);

    const id home = sendClass("SBUIController", "sharedInstance");
    send<void>(home, "restoreIconListAnimated:", false);
    const id content = send(home, "contentView");
    ASSERT_TRUE(content && content->isKindOfClass(UIView::class_()));

    const id front = send(UIApplication::sharedApplication(), "_accessibilityFrontMostApplication");
    ASSERT_NE(front, nullptr);
    EXPECT_EQ(send<std::string>(front, "bundleIdentifier"), "com.example.mail");
    const auto surface = send<IOSurfaceRef>(send(front, "contextHostManager"),
                                            "createIOSurfaceForFrame:", CGRectMake(0, 0, 320, 480));
    ASSERT_TRUE(surface && surface->image);
    EXPECT_EQ(CGImageGetWidth(surface->image), 320u);
    EXPECT_FALSE(send<IOSurfaceRef>(send(front, "contextHostManager"), "createIOSurfaceForFrame:",
                                    CGRectZero));

    const auto linen = objc_msgSendClass<UIImageRef>(
        objc_getClass("SBLinenView"), sel_registerName("squareImageForBounds:"),
        CGRectMake(0, 0, 320, 480));
    ASSERT_TRUE(linen);
    EXPECT_EQ(linen->size(), CGSizeMake(320, 480));

    // Classes only tested with isKindOfClass exist by name.
    EXPECT_NE(objc_getClass("SBAwayLockBar"), nullptr);
    EXPECT_EQ(objc_getClass("TPBottomLockBar"), nullptr);  // this SpringBoard has no second bar
}

}  // namespace
