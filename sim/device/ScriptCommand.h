#pragma once

// One command of the simulator's script language, parsed once into its verb and its arguments,
// and the error of a line that cannot run. The script runner, the simulated SpringBoard and the
// device window all dispatch on the verb.

#include "sim/device/ScriptGrammar.h"

#include <string>
#include <vector>

enum class ScriptVerb {
    // Set-up: the device, before boot; the rest may also come after.
    Device,
    Screen,
    SpringBoardWithout,
    Orientation,
    PasscodeOn,
    PasscodeOff,
    FrontApp,
    // The settings file, and notifications.
    PrefsSet,
    PrefsDelete,
    PrefsClear,
    PrefsFile,
    Notify,
    // SpringBoard.
    Boot,
    Lock,
    AutoLock,
    Wake,
    Dim,
    Alert,
    PluginFullscreen,
    CameraOn,
    CameraOff,
    MediaOn,
    MediaOff,
    SyncOn,
    SyncOff,
    PasscodeEnter,
    PasscodeCancel,
    Key,  // key NAME: a key of the device's window, as a person presses it
    // Fingers.
    Down,
    Move,
    Up,
    Cancel,
    // The clock, the dumps and the pictures.
    Wait,
    DumpSettings,
    DumpViews,
    DumpSession,
    Snap,
    RecordStart,
};

// The words that name `verb` in a script ("prefs set", "camera on").
const char* scriptVerbName(ScriptVerb verb);

struct ScriptCommand {
    // A command made in code rather than read from a script (the window's keys and mouse).
    static ScriptCommand make(ScriptVerb verb, std::vector<double> numbers = {}) {
        ScriptCommand command;
        command.verb = verb;
        command.numbers = std::move(numbers);
        return command;
    }

    ScriptVerb verb = ScriptVerb::Boot;
    // The word arguments and the number arguments, each in the order written.
    std::vector<std::string> words;
    std::vector<double> numbers;
    // The script line it came from; 0 for a command made by the window.
    int line = 0;
};


// The error of `command` saying `text`.
inline ScriptResult scriptFailure(const ScriptCommand& command, std::string text) {
    return ScriptError{command.line, std::move(text)};
}
