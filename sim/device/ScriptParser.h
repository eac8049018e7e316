#pragma once

// The simulator's script language: one command a line, words separated by white space, a word
// with spaces in double quotes, and "#" starting a comment.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// One command of a script, checked against the command table: its verb (the words that name
// it, such as "prefs set" or "camera on") and its arguments.
struct ScriptCommand {
    int line = 0;
    std::string verb;
    std::vector<std::string> arguments;

    // Argument `i` as a number (the table has checked it is one).
    double number(std::size_t i) const;
};

// What is wrong with a line that cannot run.
struct ScriptError {
    int line = 0;
    std::string text;
};

// The words of one line; nothing for a line with an unterminated quote.
std::optional<std::vector<std::string>> splitScriptWords(std::string_view line);

// Parses line `number` of a script: nothing for a blank or comment line, the command, or the
// error that makes it malformed (unknown command, wrong number or kind of arguments).
struct ParsedLine {
    std::optional<ScriptCommand> command;
    std::optional<ScriptError> error;
};
ParsedLine parseScriptLine(std::string_view line, int number);
