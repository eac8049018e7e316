#pragma once

// What the script runner asks of the simulated SpringBoard. The runner knows the script
// language and the trace; the host knows SpringBoard.

#include "platform/graphics/CGImage.h"
#include "sim/device/DeviceConfig.h"
#include "sim/device/ScriptCommand.h"

#include <nlohmann/json.hpp>

#include <filesystem>

class Trace;

class SpringBoardHost {
public:
    virtual ~SpringBoardHost() = default;

    // Starts SpringBoard on the configured device: classes, substrate loader, application
    // object, the lock screen shown and lit.
    virtual void boot(const DeviceConfig& config, Trace& trace) = 0;

    // Runs a command that needs a running SpringBoard (lock, down, camera on, orientation, ...);
    // the error of one that cannot run now.
    virtual ScriptResult perform(const ScriptCommand& command) = 0;

    // The settings record the loaded tweak holds (null without a tweak), the view trees of the
    // screen's windows, and the session state, for "dump".
    virtual nlohmann::ordered_json dumpSettings() = 0;
    virtual nlohmann::ordered_json dumpViews() = 0;
    virtual nlohmann::ordered_json dumpSession() = 0;

    // Writes the screen as drawn now to `file` (PNG).
    virtual bool snap(const std::filesystem::path& file) = 0;

    // The screen as drawn now, for an animated recording; null from a host that draws nothing.
    virtual CGImageRef renderScreen() { return nullptr; }
};
