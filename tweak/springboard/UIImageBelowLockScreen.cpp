#include "tweak/springboard/UIImageBelowLockScreen.h"

#include "platform/uikit/UIApplication.h"
#include "platform/uikit/UIScreen.h"
#include "platform/uikit/UIView.h"
#include "tweak/session/SpringBoardCalls.h"
#include "platform/springboard/SpringBoardInterface.h"

namespace {

// The music player keeps no picture of its own: the home screen stands in for it.
constexpr const char* kMusicPlayer = "com.apple.mobileipod";

}  // namespace

[[gnu::visibility("default")]] UIImageRef UIImageBelowLockScreen() {
    const id front = SB::_accessibilityFrontMostApplication.send(UIApplication::sharedApplication());
    if (front && SB::bundleIdentifier.send(front) != kMusicPlayer) {
        const id manager = SB::contextHostManager.send(front);
        const UIScreen* screen = UIScreen::mainScreen();
        const CGRect bounds = screen ? screen->bounds() : CGRectZero;
        const auto surface = SB::createIOSurfaceForFrame.send(manager, bounds);
        return UIImage::imageWithIOSurface(surface, screen ? screen->scale() : 1, 0);
    }
    const id home = SB::sharedInstance.send(objc_getClass("SBUIController"));
    SB::restoreIconListAnimated.send(home, false);
    return SpringBoardCalls::renderSnapshot(objc_cast<UIView>(SB::contentView.send(home)));
}
