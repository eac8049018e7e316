#pragma once

// The simulator's script language: one command a line, words separated by white space, a word
// with spaces in double quotes, and "#" starting a comment.

#include "sim/device/ScriptCommand.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The words of one line; nothing for a line with an unterminated quote.
std::optional<std::vector<std::string>> splitScriptWords(std::string_view line);

// What line `number` of a script holds: nothing for a blank or comment line, the command, or the
// error that makes it malformed (unknown command, wrong number or kind of arguments).
struct ParsedLine {
    std::optional<ScriptCommand> command;
    ScriptResult error;
};
ParsedLine parseScriptLine(std::string_view line, int number);
