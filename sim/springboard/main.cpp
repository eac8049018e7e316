// corvane-sim: the SpringBoard process of a simulated device. With --script it runs the script
// on a virtual clock, writes the trace and exits.

#include "platform/foundation/DeviceRoot.h"
#include "platform/foundation/NSLog.h"
#include "platform/foundation/RunLoop.h"
#include "sim/device/ScriptRunner.h"
#include "sim/springboard/DeviceWindow.h"
#include "sim/springboard/SimulatedSpringBoard.h"

#include <CLI/CLI.hpp>

#include <fstream>
#include <iostream>
#include <sstream>

namespace {

struct Options {
    std::string root, script, trace, record;
};

std::optional<std::string> readScript(const std::string& path) {
    std::stringstream text;
    if (path == "-") {
        text << std::cin.rdbuf();
        return text.str();
    }
    std::ifstream in(path);
    if (!in) return std::nullopt;
    text << in.rdbuf();
    return text.str();
}

// The device in a window on the machine's clock, booted as a script's "boot" would.
int runWindow(const Options& o) {
    RunLoop::main().setClock(std::make_shared<SteadyClock>());
    std::ofstream traceFile;
    if (!o.trace.empty()) traceFile.open(o.trace);
    std::ostringstream discarded;
    std::ostream& out = o.trace.empty() ? static_cast<std::ostream&>(discarded) : traceFile;
    Trace trace(out, [] { return RunLoop::main().now(); });
    SimulatedSpringBoard springBoard;
    trace.markBoot();
    springBoard.boot(DeviceConfig{}, trace);
    return runDeviceWindow(springBoard);
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app("The SpringBoard process of a simulated device, with Corvane loaded from the "
                 "device root. Without --script it shows the device in a window.\n\nExamples:\n"
                 "  corvane-sim\n  corvane-sim --script demo.sim --record shots",
                 "corvane-sim");
    Options o;
    app.add_option("--root", o.root, "Device root (default: the build tree's device folder)");
    app.add_option("--script", o.script, "Run this script (- for standard input) and exit");
    app.add_option("--trace", o.trace, "Write the trace here (default: standard output)");
    app.add_option("--record", o.record, "Write the pictures of 'snap' into this folder");
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& help) {
        return app.exit(help);
    } catch (const CLI::ParseError& error) {
        std::cerr << "corvane-sim: " << error.what() << " (see corvane-sim --help)\n";
        return 2;
    }
    DeviceRoot::set(o.root.empty() ? DeviceRoot::defaultFor("/proc/self/exe")
                                   : std::filesystem::path(o.root));
    if (o.script.empty()) return runWindow(o);
    const auto script = readScript(o.script);
    if (!script) {
        std::cerr << "corvane-sim: cannot read the script " << o.script << "\n";
        return 2;
    }
    std::ofstream traceFile;
    if (!o.trace.empty()) {
        traceFile.open(o.trace);
        if (!traceFile) {
            std::cerr << "corvane-sim: cannot write the trace " << o.trace << "\n";
            return 2;
        }
    }
    std::ostream& out = o.trace.empty() ? std::cout : traceFile;
    setLogToStandardError(false);  // log lines are trace events
    Trace trace(out, [] { return RunLoop::main().now(); });
    SimulatedSpringBoard springBoard;
    const auto folder = o.script == "-" ? std::filesystem::current_path()
                                        : std::filesystem::absolute(o.script).parent_path();
    std::optional<std::filesystem::path> record;
    if (!o.record.empty()) record = o.record;
    ScriptRunner runner(trace, springBoard, folder, record);
    return runner.run(*script);
}
