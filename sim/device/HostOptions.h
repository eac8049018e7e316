#pragma once

// The command-line options both hosts take: the device root, a script with its trace and
// pictures, and for the window the device shown and where its window goes.

#include "sim/device/DevicePresets.h"
#include "sim/device/WindowLayout.h"

#include <CLI/CLI.hpp>

#include <map>
#include <optional>
#include <string>

struct HostOptions {
    std::optional<std::string> root;  // nothing without --root
    std::string script, trace, record;
    std::string device = "iphone";
    bool checkDisplay = false;
    WindowPlacement placement = WindowPlacement::Centre;
};

// Adds --root, --script, --trace, --record, --device (checked against the known devices) and
// --place (centre, left or right) to `app`, filling `options`.
inline void addHostOptions(CLI::App& app, HostOptions& options) {
    app.add_option_function<std::string>(
        "--root", [&options](const std::string& root) { options.root = root; },
        "Device root (default: ~/.local/share/corvane/device, made and filled on first use; a "
        "program run from a build tree uses the build's device folder)");
    app.add_option("--script", options.script,
                   "Run this script (- for standard input, read as it is typed) and exit");
    app.add_option("--trace", options.trace, "Write the trace here (default: standard output)");
    app.add_option("--record", options.record, "Write the pictures of 'snap' into this folder");
    app.add_flag("--check-display", options.checkDisplay,
                 "Say whether a window can be opened here, and exit: 0 when one can, 2 with the "
                 "reason when not");
    app.add_option("--device", options.device,
                   "The device the window shows (default iphone):\n" + devicePresetList())
        ->check([](const std::string& name) {
            return devicePreset(name) ? std::string() : "no device is called " + name;
        });
    app.add_option("--place", options.placement,
                   "Where the window goes: centre (the default), left or right of the middle")
        ->transform(CLI::Validator(
            [](std::string& where) {
                static const std::map<std::string, int> places = {
                    {"centre", int(WindowPlacement::Centre)},
                    {"left", int(WindowPlacement::Left)},
                    {"right", int(WindowPlacement::Right)}};
                const auto found = places.find(where);
                if (found == places.end()) return "no place is called " + where +
                                                  " (centre, left or right)";
                where = std::to_string(found->second);
                return std::string();
            },
            ""))
        ->type_name("WHERE");
}
