#pragma once

// The command-line options both hosts' windows take: the device shown and where its window goes.

#include "sim/device/DevicePresets.h"
#include "sim/device/WindowLayout.h"

#include <CLI/CLI.hpp>

#include <map>
#include <string>

// Adds --device (checked against the known devices) and --place (centre, left or right) to
// `app`, filling `device` and `placement`.
inline void addWindowOptions(CLI::App& app, std::string& device, WindowPlacement& placement) {
    app.add_option("--device", device, "The device the window shows (default iphone):\n" + devicePresetList())
        ->check([](const std::string& name) {
            return devicePreset(name) ? std::string() : "no device is called " + name;
        });
    app.add_option("--place", placement,
                   "Where the window goes: centre (the default), left or right of the middle")
        ->transform(CLI::CheckedTransformer(
            std::map<std::string, WindowPlacement>{{"centre", WindowPlacement::Centre},
                                                   {"left", WindowPlacement::Left},
                                                   {"right", WindowPlacement::Right}},
            CLI::ignore_case));
}
