// corvane-settings: the Settings application of a simulated device, showing the Corvane panel.
// With --script it runs the script on a virtual clock, writes the trace and exits; without, it
// shows the panel in a window.

#include "platform/foundation/DeviceRoot.h"
#include "platform/foundation/NSLog.h"
#include "platform/foundation/RunLoop.h"
#include "sim/device/DevicePresets.h"
#include "sim/device/ScreenWindow.h"
#include "sim/device/HostOptions.h"
#include "sim/settings/SimulatedSettings.h"

#include <CLI/CLI.hpp>

#include <signal.h>

#include <fstream>
#include <iostream>

namespace {

using Options = HostOptions;

const std::vector<std::string> kPanelKeys = {
    "Tap switches, rows with > and buttons",
    "Drag sliders; drag the list to scroll",
    "Esc or Backspace: back a page",
    "",
};

// Says on standard error that the trace could not be written, and why; answers the status.
int traceFailed(const Trace& trace, const Options& o) {
    std::cerr << "corvane-settings: cannot write the trace "
              << (o.trace.empty() ? std::string("to standard output") : o.trace) << ": "
              << trace.failure() << "\n";
    return 2;
}

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
                                     kPanelKeys, o.placement, [&trace] { return trace.failed(); }};
    const int status = runScreenWindow(settings, window);
    return trace.failed() ? traceFailed(trace, o) : status;
}

int runScript(std::istream& script, std::ostream& out, const Options& o) {
    setLogToStandardError(false);  // log lines are trace events
    Trace trace(out, [] { return RunLoop::main().now(); });
    std::optional<std::filesystem::path> record;
    if (!o.record.empty()) record = o.record;
    SimulatedSettings settings(trace, record);
    const int status = settings.run(script);
    if (trace.failed()) return traceFailed(trace, o);
    // A script's error is told where a person looks as well as in the trace.
    if (const auto& error = settings.failure()) {
        std::cerr << "corvane-settings: line " << error->line << ": " << error->text << "\n";
    }
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    // A reader that has gone is an output failure to report, not a silent death.
    ::signal(SIGPIPE, SIG_IGN);
    CLI::App app("The Settings application of a simulated device, showing the Corvane panel. "
                 "Without --script it shows the panel in a window.\n\nExamples:\n"
                 "  corvane-settings\n  corvane-settings --script panel.settings --record shots",
                 "corvane-settings");
    Options o;
    addHostOptions(app, o);
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& help) {
        return app.exit(help);
    } catch (const CLI::ParseError& error) {
        std::cerr << "corvane-settings: " << error.what() << " (see corvane-settings --help)\n";
        return 2;
    }
    if (o.checkDisplay) return checkDisplay("corvane-settings");
    if (const auto error = DeviceRoot::setFromOption(o.root)) {
        std::cerr << "corvane-settings: " << *error << "\n";
        return 2;
    }
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
    std::error_code ec;
    if (!script || std::filesystem::is_directory(o.script, ec)) {
        std::cerr << "corvane-settings: cannot read the script " << o.script << "\n";
        return 2;
    }
    return runScript(script, out, o);
}
