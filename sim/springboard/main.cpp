// corvane-sim: the SpringBoard process of a simulated device. With --script it runs the script
// on a virtual clock, writes the trace and exits; without, it shows the device in a window. With
// --keep-alive a fresh SpringBoard starts whenever the settings panel restarts it.

#include "platform/foundation/DeviceRoot.h"
#include "platform/foundation/NSLog.h"
#include "platform/foundation/RunLoop.h"
#include "sim/device/DevicePresets.h"
#include "sim/device/ScriptRecording.h"
#include "sim/device/ScriptRunner.h"
#include "sim/device/ScriptSaver.h"
#include "sim/device/ScreenWindow.h"
#include "sim/device/HostOptions.h"
#include "sim/springboard/SimulatedSpringBoard.h"
#include "sim/springboard/Supervisor.h"

#include <CLI/CLI.hpp>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <iostream>
#include <optional>

namespace {

struct Options : HostOptions {
    std::string recordAnimation;
    bool passcode = false;
    bool keepAlive = false;
    std::string saveScript;
    std::string latencyLog;
};

const std::vector<std::string> kDeviceKeys = {
    "L lock   H home   W wake   D dim",
    "0-9 passcode digits   Backspace undo",
    "P accept passcode   Esc cancel it",
    "A alert   C camera   M media controls",
    "",
};

// Says on standard error that the trace could not be written, and why; answers the status.
int traceFailed(const Trace& trace, const Options& o) {
    std::cerr << "corvane-sim: cannot write the trace "
              << (o.trace.empty() ? std::string("to standard output") : o.trace) << ": "
              << trace.failure() << "\n";
    return 2;
}

// The device in a window on the machine's clock, booted as a script's "boot" would; with
// --save-script, what the person does is written down as a script on the way.
int runWindow(std::ostream& out, const Options& o) {
    RunLoop::main().setClock(std::make_shared<SteadyClock>());
    Trace trace(out, [] { return RunLoop::main().now(); });
    SimulatedSpringBoard springBoard;
    DeviceConfig config = *devicePreset(o.device);
    config.passcode = o.passcode;
    std::ofstream saved;
    std::optional<ScriptSaver> saver;
    if (!o.saveScript.empty()) {
        saved.open(o.saveScript, std::ios::trunc);
        if (!saved) {
            std::cerr << "corvane-sim: cannot write the script " << o.saveScript << "\n";
            return 2;
        }
        saver.emplace(springBoard, saved, [] { return RunLoop::main().now(); });
    }
    std::ofstream latencyLog;
    if (!o.latencyLog.empty()) {
        latencyLog.open(o.latencyLog, std::ios::trunc);
        if (!latencyLog) {
            std::cerr << "corvane-sim: cannot write the latency log " << o.latencyLog << "\n";
            return 2;
        }
    }
    trace.markBoot();
    if (saver) {
        std::vector<std::string> setUp = {"device " + o.device};
        if (o.passcode) setUp.push_back("passcode on");
        saver->begin(setUp);
    }
    springBoard.boot(config, trace);
    const ScreenWindowOptions window{
        "Corvane: " + o.device + " (press ? for help)", "corvane-sim", kDeviceKeys, o.placement,
        [&] { return trace.failed() || (saver && saver->failed()); },
        o.latencyLog.empty() ? nullptr : &latencyLog};
    ScreenWindowDevice& device = saver ? static_cast<ScreenWindowDevice&>(*saver) : springBoard;
    const int status = runScreenWindow(device, window);
    if (trace.failed()) return traceFailed(trace, o);
    if (saver && saver->failed()) {
        std::cerr << "corvane-sim: cannot write the script " << o.saveScript << "\n";
        return 2;
    }
    if (!o.latencyLog.empty() && !latencyLog) {
        std::cerr << "corvane-sim: cannot write the latency log " << o.latencyLog << "\n";
        return 2;
    }
    return status;
}

// The script's lines on a virtual clock.
int runScript(std::istream& script, std::ostream& out, const Options& o) {
    setLogToStandardError(false);  // log lines are trace events
    Trace trace(out, [] { return RunLoop::main().now(); });
    SimulatedSpringBoard springBoard;
    const auto folder = o.script == "-" ? std::filesystem::current_path()
                                        : std::filesystem::absolute(o.script).parent_path();
    std::optional<std::filesystem::path> record;
    if (!o.record.empty()) record = o.record;
    ScriptRunner runner(trace, springBoard, folder, record);
    const std::string name = o.script == "-" ? "standard input"
                                             : std::filesystem::path(o.script).filename().string();
    const int status = o.recordAnimation.empty()
                           ? runner.run(script)
                           : runRecordedScript(runner, script, o.recordAnimation, name);
    if (trace.failed()) return traceFailed(trace, o);
    // A script's error is told where a person looks as well as in the trace.
    if (const auto& error = runner.failure()) {
        std::cerr << "corvane-sim: line " << error->line << ": " << error->text << "\n";
    }
    return status;
}

// The file descriptor the script is read from: standard input for "-"; -1 when it cannot be
// opened or is a folder.
int openScript(const std::string& path) {
    if (path == "-") return STDIN_FILENO;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat info {};
    if (fd >= 0 && ::fstat(fd, &info) == 0 && S_ISDIR(info.st_mode)) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// Where the trace goes: the file of --trace, else standard output for a script and nowhere for
// the window (-1); -2 when the file cannot be written.
int openTrace(const Options& o) {
    if (o.trace.empty()) return o.script.empty() ? -1 : STDOUT_FILENO;
    const int fd = ::open(o.trace.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_APPEND | O_CLOEXEC, 0644);
    return fd < 0 ? -2 : fd;
}

// One SpringBoard: the trace is written to standard output, made the trace's descriptor.
int runSpringBoard(const Options& o, std::istream* script, int traceFd) {
    if (traceFd >= 0 && traceFd != STDOUT_FILENO) ::dup2(traceFd, STDOUT_FILENO);
    std::ostream discard(nullptr);
    std::ostream& out = traceFd >= 0 ? std::cout : discard;
    if (script) return runScript(*script, out, o);
    return runWindow(out, o);
}

}  // namespace

int main(int argc, char** argv) {
    // A reader that has gone is an output failure to report, not a silent death.
    ::signal(SIGPIPE, SIG_IGN);
    CLI::App app("The SpringBoard process of a simulated device, with Corvane loaded from the "
                 "device root. Without --script it shows the device in a window.\n\nExamples:\n"
                 "  corvane-sim\n  corvane-sim --script demo.sim --record shots\n"
                 "  corvane-sim --script examples/drag.sim --record-animation drag.webp\n"
                 "  corvane-sim --keep-alive --script -",
                 "corvane-sim");
    Options o;
    addHostOptions(app, o);
    app.add_option("--record-animation", o.recordAnimation,
                   "Record the script's run into this animated WebP file, 30 frames a second of "
                   "its clock")
        ->needs("--script");
    app.add_flag("--passcode", o.passcode, "The window's device has a passcode");
    app.add_option("--save-script", o.saveScript,
                   "With the window: write what you do (touches with their timing, keys) as a "
                   "script that --script replays to the same unlock")
        ->excludes("--script");
    app.add_option("--latency-log", o.latencyLog,
                   "With the window: write a JSON line for each frame that showed a touch, with how "
                   "long the touch waited to be seen (input_ms) and the frame's drawing and "
                   "presenting times")
        ->excludes("--script");
    app.add_flag("--keep-alive", o.keepAlive,
                 "Start a fresh SpringBoard whenever the settings panel restarts it");
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& help) {
        return app.exit(help);
    } catch (const CLI::ParseError& error) {
        std::cerr << "corvane-sim: " << error.what() << " (see corvane-sim --help)\n";
        return 2;
    }
    if (o.checkDisplay) return checkDisplay("corvane-sim");
    if (const auto error = DeviceRoot::setFromOption(o.root)) {
        std::cerr << "corvane-sim: " << *error << "\n";
        return 2;
    }
    const int scriptFd = o.script.empty() ? -1 : openScript(o.script);
    if (!o.script.empty() && scriptFd < 0) {
        std::cerr << "corvane-sim: cannot read the script " << o.script << "\n";
        return 2;
    }
    const int traceFd = openTrace(o);
    if (traceFd == -2) {
        std::cerr << "corvane-sim: cannot write the trace " << o.trace << "\n";
        return 2;
    }
    if (o.keepAlive) {
        return superviseSpringBoard(scriptFd, traceFd, [&](std::istream* script) {
            return runSpringBoard(o, script, traceFd);
        });
    }
    if (scriptFd < 0) return runSpringBoard(o, nullptr, traceFd);
    if (scriptFd == STDIN_FILENO) return runSpringBoard(o, &std::cin, traceFd);
    std::ifstream file(o.script);
    return runSpringBoard(o, &file, traceFd);
}
