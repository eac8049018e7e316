#pragma once

// What the two script fuzzers share. Both languages split lines the same way and both hand back
// a command (verb, words, numbers, line) or an error, so one set of checks serves both: a line
// is a command, an error or nothing, never two of these; a command carries its own line number,
// finite numbers and a verb whose name the line starts with; and a command written out again,
// its words quoted, parses to the same command. In both languages a command's words come before
// its numbers, which is what lets it be written out again without its table.

#include "sim/device/ScriptGrammar.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>
#include <string_view>

namespace script_fuzzing {

// Stops the fuzzer with a report when `holds` is false; libFuzzer keeps the input.
inline void require(bool holds) {
    if (!holds) std::abort();
}

// The line that says `command` again: its verb's name, each word in quotes, each number in its
// shortest form that reads back the same.
template <typename Command>
std::string writtenAgain(const char* verbName, const Command& command) {
    std::string line = verbName;
    for (const auto& word : command.words) line.append(" \"").append(word).append("\"");
    for (const double number : command.numbers) {
        char digits[64];
        const auto written = std::to_chars(digits, digits + sizeof digits, number);
        line.append(" ").append(digits, written.ptr);
    }
    return line;
}

// The checks above on line `number`; `parse` is the language's line parser and `nameOf` its
// verb names.
template <typename Parse, typename NameOf>
void checkLine(std::string_view line, int number, Parse parse, NameOf nameOf) {
    const auto parsed = parse(line, number);
    const auto words = splitScriptWords(line);
    require(!(parsed.command && parsed.error));
    require(words.has_value() || parsed.error);
    require(!words || !words->empty() || (!parsed.command && !parsed.error));
    if (parsed.error) require(parsed.error->line == number && !parsed.error->text.empty());
    if (!parsed.command) return;
    const auto& command = *parsed.command;
    require(command.line == number);
    for (const double n : command.numbers) require(std::isfinite(n));
    const std::string name = nameOf(command.verb);
    require(name != "?" && words && !words->empty());
    require(name == (*words)[0] || name.starts_with((*words)[0] + " "));
    const auto again = parse(writtenAgain(name.c_str(), command), number);
    require(again.command && again.command->verb == command.verb &&
            again.command->words == command.words && again.command->numbers == command.numbers);
}

// Feeds a whole script to the language as its host reads one: line by line, numbered from 1.
template <typename Parse, typename NameOf>
void checkScript(const std::uint8_t* data, std::size_t size, Parse parse, NameOf nameOf) {
    std::istringstream script(std::string(reinterpret_cast<const char*>(data), size));
    forEachScriptLine(script, [&](std::string_view line, int number) {
        checkLine(line, number, parse, nameOf);
        return true;
    });
}

}  // namespace script_fuzzing
