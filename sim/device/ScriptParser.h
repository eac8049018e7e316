#pragma once

// The simulator's script language: one command a line, words separated by white space, a word
// with spaces in double quotes, and "#" starting a comment.

#include "sim/device/ScriptCommand.h"
#include "sim/device/ScriptGrammar.h"

#include <optional>
#include <string_view>

// What line `number` of a script holds: nothing for a blank or comment line, the command, or the
// error that makes it malformed (unknown command, wrong number or kind of arguments).
struct ParsedLine {
    std::optional<ScriptCommand> command;
    ScriptResult error;
};
ParsedLine parseScriptLine(std::string_view line, int number);
