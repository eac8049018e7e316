#pragma once

// A simulated device's screen in a window: the screen as drawn now, at a comfortable size on the
// monitor, the mouse (or a touch screen) as fingers, and keys for whatever the device takes them
// for. Time runs on the machine's clock, a frame at each refresh of the display.

#include "platform/graphics/CGImage.h"
#include "platform/uikit/UITouch.h"
#include "sim/device/WindowLayout.h"

#include <functional>
#include <optional>
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
    // A key pressed (an SDL key code); the window's own keys (Q, F, ?) never arrive here.
    virtual void key(int keyCode) {}
};

struct ScreenWindowOptions {
    std::string title;
    std::string program;                 // names the caller in messages
    std::vector<std::string> deviceKeys;  // lines of help on the device's own keys
    WindowPlacement placement = WindowPlacement::Centre;
    // Asked after every frame: true closes the window (its trace cannot be written any more).
    std::function<bool()> mustEnd;
    // Where each frame that showed input is logged with how long the input waited (see
    // WindowLatency); nothing for no log.
    std::ostream* latencyLog = nullptr;
};

// Why no window can be opened here (no display named, or one that cannot be opened); nothing
// when one can.
std::optional<std::string> whyNoWindowCanOpen();
// --check-display: 0 when a window can be opened; else says why in one line on standard error,
// naming `program`, and answers 2.
int checkDisplay(const std::string& program);

// Shows `device` in a window until the window is closed, Q is pressed or `mustEnd` says so;
// answers 0, or 2 when no window can be opened (no display).
int runScreenWindow(ScreenWindowDevice& device, const ScreenWindowOptions& options);
