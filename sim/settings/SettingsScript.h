#pragma once

// The Settings host's script language: open the Corvane panel, read and change its rows as a
// user would, press its buttons, move the colour chooser's sliders, finish the support mail, and
// take pictures. Lines, words, quotes and comments as in the simulator's language.

#include "sim/device/ScriptGrammar.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

enum class SettingsVerb {
    Device,       // device NAME: the device model, before open
    Open,         // open: the Corvane panel, rows built
    Rows,         // rows: a "rows" event
    Set,          // set KEY VALUE: change the row bound to KEY through its setter
    Tap,          // tap ACTION: press the button whose action is ACTION
    Slider,       // slider red|green|blue|alpha V: move a colour-chooser slider
    MailSend,     // mail send
    MailCancel,   // mail cancel
    DumpChooser,  // dump chooser: the colour chooser's children
    Snap,         // snap NAME: with --record, a picture of the screen
    Wait,         // wait MS: advance the clock
};

struct SettingsCommand {
    SettingsVerb verb = SettingsVerb::Open;
    std::vector<std::string> words;
    std::vector<double> numbers;
    int line = 0;
};

// The words that name `verb`.
const char* settingsVerbName(SettingsVerb verb);

// Line `number`: nothing for a blank or comment line, its command, or the error that makes it
// malformed.
struct ParsedSettingsLine {
    std::optional<SettingsCommand> command;
    ScriptResult error;
};
ParsedSettingsLine parseSettingsLine(std::string_view line, int number);
