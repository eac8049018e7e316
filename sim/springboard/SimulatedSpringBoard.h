#pragma once

// The simulated SpringBoard as the script runner sees it: boot, the commands that drive the
// device, the dumps and the pictures.

#include "platform/graphics/CGImage.h"
#include "sim/device/ScreenWindow.h"
#include "sim/device/SpringBoardHost.h"

#include <memory>

class CARenderer;
class SpringBoard;

class SimulatedSpringBoard : public SpringBoardHost, public ScreenWindowDevice {
public:
    SimulatedSpringBoard();
    ~SimulatedSpringBoard() override;

    void boot(const DeviceConfig& config, Trace& trace) override;
    ScriptResult perform(const ScriptCommand& command) override;
    nlohmann::ordered_json dumpSettings() override;
    nlohmann::ordered_json dumpViews() override;
    nlohmann::ordered_json dumpSession() override;
    bool snap(const std::filesystem::path& file) override;

    // The screen as drawn now: the windows back to front at the screen's scale; black while
    // the lock screen is dark.
    CGImageRef renderScreen() override;
    // The window's fingers, and its keys: L the lock button, H the home button and W wake (both
    // light the lock screen), D dim, digits and Backspace on the passcode entry's keypad, P
    // accept the passcode, Esc cancel it, A alert, C camera on and off, M media controls on and
    // off.
    void touch(UITouchPhase phase, const std::vector<CGPoint>& points) override;
    void key(int keyCode) override;

private:
    // Down, move, up or cancel of one or two fingers at the command's points.
    void touch(const ScriptCommand& command);
    bool cameraOn_ = false, mediaOn_ = false;
    void registerClasses(const DeviceConfig& config);
    void traceWith(Trace& trace);

    // What a loaded tweak offers the simulator's dumps (found by name in the loaded modules).
    using DumpFunction = const char* (*)();
    using ViewRoleFunction = const char* (*)(const void* view);
    DumpFunction dumpSettingsOfTweak_ = nullptr;
    DumpFunction dumpSessionOfTweak_ = nullptr;
    ViewRoleFunction viewRoleOfTweak_ = nullptr;

    std::shared_ptr<SpringBoard> application_;
    std::unique_ptr<CARenderer> renderer_;  // keeps what held still between pictures
    int logSink_ = 0;
};
