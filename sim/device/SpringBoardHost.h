#pragma once

// What the script runner asks of the simulated SpringBoard. The runner knows the script
// language and the trace; the host knows SpringBoard.

#include "sim/device/DeviceConfig.h"

#include <nlohmann/json.hpp>

#include <filesystem>
#include <string>

class Trace;

class SpringBoardHost {
public:
    virtual ~SpringBoardHost() = default;

    // Starts SpringBoard on the configured device: classes, substrate loader, application
    // object, the lock screen shown and lit.
    virtual void boot(const DeviceConfig& config, Trace& trace) = 0;

    // Runs a script command that needs SpringBoard ("lock", "down", "camera on", ...), with the
    // verb and arguments as parsed. Returns an error text for a command that cannot run now.
    virtual std::string perform(const std::string& verb, const std::vector<double>& numbers) = 0;

    // The view trees of the screen's windows and the session state, for "dump".
    virtual nlohmann::ordered_json dumpViews() = 0;
    virtual nlohmann::ordered_json dumpSession() = 0;

    // Writes the screen as drawn now to `file` (PNG).
    virtual bool snap(const std::filesystem::path& file) = 0;
};
