#pragma once

// A simulated device's screen in a window: the screen as drawn now, at one window pixel a point,
// the mouse as a finger, and keys for whatever the device takes them for. Time runs on the
// machine's clock.

#include "platform/graphics/CGImage.h"
#include "platform/uikit/UITouch.h"

#include <string>
#include <vector>

// What a window shows and where its input goes.
class ScreenWindowDevice {
public:
    virtual ~ScreenWindowDevice() = default;
    // The screen as drawn now, at the screen's scale.
    virtual CGImageRef renderScreen() = 0;
    // Fingers at `points` (screen points) going down, moving, lifting or cancelled.
    virtual void touch(UITouchPhase phase, const std::vector<CGPoint>& points) = 0;
    // A key pressed (an SDL key code); Q quits before the device hears of it.
    virtual void key(int keyCode) {}
};

// Shows `device` in a window titled `title` until the window is closed or Q is pressed; answers
// 0, or 2 when no window can be opened (no display). `program` names the caller in messages.
int runScreenWindow(ScreenWindowDevice& device, const std::string& title, const char* program);
