#pragma once

// Runs a simulator script line by line on the virtual clock, writing the trace. A malformed
// line stops the run with an "error" event naming it.

#include "sim/device/AnimationRecorder.h"
#include "sim/device/DeviceConfig.h"
#include "sim/device/ScriptParser.h"
#include "sim/device/SpringBoardHost.h"
#include "sim/device/Trace.h"

#include <filesystem>
#include <istream>
#include <optional>
#include <string_view>

class ScriptRunner {
public:
    // `host` plays SpringBoard; `scriptFolder` resolves relative paths ("prefs file");
    // `recordFolder` receives "snap" pictures when set.
    ScriptRunner(Trace& trace, SpringBoardHost& host, std::filesystem::path scriptFolder,
                 std::optional<std::filesystem::path> recordFolder);

    // Runs every line of `script`; 0 when all ran, 2 after a malformed line.
    int run(std::string_view script);
    // The same for a script read from `in` line by line as it arrives (a person or another
    // program typing into the simulator).
    int run(std::istream& in);
    // The line that ended the last run, when one did: a person reads it on standard error.
    const ScriptResult& failure() const { return failure_; }

    // Hands the screen to `recorder` from the boot on: at the boot, at every frame time the
    // clock passes and after each touch. The recorder must outlive the runs.
    void recordAnimation(AnimationRecorder& recorder) { recorder_ = &recorder; }

private:
    ScriptResult failure_;
    // Runs line `number`; its error, if it is malformed or cannot run.
    ScriptResult runLine(std::string_view line, int number);
    // Runs one command.
    ScriptResult execute(const ScriptCommand& command);
    ScriptResult configure(const ScriptCommand& command);
    ScriptResult boot(const ScriptCommand& command);
    ScriptResult touch(const ScriptCommand& command);
    ScriptResult editPrefs(const ScriptCommand& command);
    ScriptResult notify(const ScriptCommand& command);
    ScriptResult dump(const ScriptCommand& command);
    ScriptResult snap(const ScriptCommand& command);
    // Drops what has been recorded so far: the recording begins now.
    ScriptResult startRecording(const ScriptCommand& command);
    ScriptResult wait(const ScriptCommand& command);
    // Runs the clock on to `end`, stopping at each frame time of a recording to capture it.
    void advanceClockTo(ClockTime end);
    // Gives the recording, if any, the screen as drawn now, taken because `cause` happened.
    void captureFrame(FrameCause cause);
    // The error of a command that needs a booted device, when it has not booted.
    ScriptResult requireBoot(const ScriptCommand& command) const;

    Trace& trace_;
    SpringBoardHost& host_;
    std::filesystem::path scriptFolder_;
    std::optional<std::filesystem::path> recordFolder_;
    DeviceConfig config_;
    bool booted_ = false;
    AnimationRecorder* recorder_ = nullptr;
};
