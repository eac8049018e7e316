#include "tweak/springboard/UIImageBelowLockScreen.h"

#include "platform/uikit/UIApplication.h"
#include "platform/uikit/UIScreen.h"
#include "platform/uikit/UIView.h"
#include "tweak/session/SpringBoardCalls.h"

namespace {

// The music player keeps no picture of its own: the home screen stands in for it.
constexpr const char* kMusicPlayer = "com.apple.mobileipod";

}  // namespace

[[gnu::visibility("default")]] UIImageRef UIImageBelowLockScreen() {
    const id front = objc_msgSend<id>(UIApplication::sharedApplication(),
                                      CV_SELECTOR("_accessibilityFrontMostApplication"));
    if (front && objc_msgSend<std::string>(front, CV_SELECTOR("bundleIdentifier")) != kMusicPlayer) {
        const id manager = objc_msgSend<id>(front, CV_SELECTOR("contextHostManager"));
        const UIScreen* screen = UIScreen::mainScreen();
        const CGRect bounds = screen ? screen->bounds() : CGRectZero;
        const auto surface =
            objc_msgSend<IOSurfaceRef>(manager, CV_SELECTOR("createIOSurfaceForFrame:"), bounds);
        return UIImage::imageWithIOSurface(surface, screen ? screen->scale() : 1, 0);
    }
    const id home = objc_msgSendClass<id>(objc_getClass("SBUIController"),
                                          CV_SELECTOR("sharedInstance"));
    objc_msgSend(home, CV_SELECTOR("restoreIconListAnimated:"), false);
    return SpringBoardCalls::renderSnapshot(
        objc_cast<UIView>(objc_msgSend<id>(home, CV_SELECTOR("contentView"))));
}
