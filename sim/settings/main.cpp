// corvane-settings: the Settings application of a simulated device, showing the Corvane panel.
// With --script it runs the script on a virtual clock, writes the trace and exits; without, it
// shows the panel in a window.

#include "platform/foundation/DeviceRoot.h"
#include "platform/foundation/NSLog.h"
#include "platform/foundation/RunLoop.h"
#include "sim/device/DevicePresets.h"
#include "sim/device/ScreenWindow.h"
#include "sim/device/WindowOptions.h"
#include "sim/settings/SimulatedSettings.h"

#include <CLI/CLI.hpp>

#include <fstream>
#include <iostream>

namespace {

struct Options {
    std::string root, script, trace, record;
    std::string device = "iphone";
    WindowPlacement placement = WindowPlacement::Centre;
};

const std::vector<std::string> kPanelKeys = {
    "Tap switches, rows with > and buttons",
    "Drag sliders; drag the list to scroll",
    "Esc or Backspace: back a page",
    "",
};

int runWindow(std::ostream& out, const Options& o) {
    RunLoop::main().setClock(std::make_shared<SteadyClock>());
    Trace trace(out, [] { return RunLoop::main().now(); });
    SimulatedSettings settings(trace, std::nullopt);
    const DeviceConfig device = *devicePreset(o.device);
    settings.setDevice(device.model, CGSizeMake(device.screenWidth, device.screenHeight),
                       device.screenScale);
    if (const auto error = settings.open(SettingsCommand{})) {
        std::cerr << "corvane-settings: " << error->text << "\n";
        return 2;
    }
    const ScreenWindowOptions window{"Corvane settings (press ? for help)", "corvane-settings",
                                     kPanelKeys, o.placement};
    return runScreenWindow(settings, window);
}

int runScript(std::istream& script, std::ostream& out, const Options& o) {
    setLogToStandardError(false);  // log lines are trace events
    Trace trace(out, [] { return RunLoop::main().now(); });
    std::optional<std::filesystem::path> record;
    if (!o.record.empty()) record = o.record;
    SimulatedSettings settings(trace, record);
    return settings.run(script);
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app("The Settings application of a simulated device, showing the Corvane panel. "
                 "Without --script it shows the panel in a window.\n\nExamples:\n"
                 "  corvane-settings\n  corvane-settings --script panel.settings --record shots",
                 "corvane-settings");
    Options o;
    app.add_option("--root", o.root, "Device root (default: the build tree's device folder)");
    app.add_option("--script", o.script,
                   "Run this script (- for standard input, read as it is typed) and exit");
    app.add_option("--trace", o.trace, "Write the trace here (default: standard output)");
    app.add_option("--record", o.record, "Write the pictures of 'snap' into this folder");
    addWindowOptions(app, o.device, o.placement);
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& help) {
        return app.exit(help);
    } catch (const CLI::ParseError& error) {
        std::cerr << "corvane-settings: " << error.what() << " (see corvane-settings --help)\n";
        return 2;
    }
    std::error_code ec;
    if (!o.root.empty() && !std::filesystem::is_directory(o.root, ec)) {
        // A root given by hand that is not there is a mistake, not a device to run.
        std::cerr << "corvane-settings: the device root " << o.root << " is not a folder\n";
        return 2;
    }
    DeviceRoot::set(o.root.empty() ? DeviceRoot::defaultFor("/proc/self/exe")
                                   : std::filesystem::path(o.root));
    std::ofstream traceFile;
    if (!o.trace.empty()) {
        traceFile.open(o.trace);
        if (!traceFile) {
            std::cerr << "corvane-settings: cannot write the trace " << o.trace << "\n";
            return 2;
        }
    }
    std::ostream discard(nullptr);
    std::ostream& out = !o.trace.empty() ? traceFile : o.script.empty() ? discard : std::cout;
    if (o.script.empty()) return runWindow(out, o);
    if (o.script == "-") return runScript(std::cin, out, o);
    std::ifstream script(o.script);
    if (!script || std::filesystem::is_directory(o.script, ec)) {
        std::cerr << "corvane-settings: cannot read the script " << o.script << "\n";
        return 2;
    }
    return runScript(script, out, o);
}
