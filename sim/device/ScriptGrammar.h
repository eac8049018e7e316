#pragma once

// What the script languages of the hosts share: one command a line, words separated by white
// space, a word with spaces in double quotes, "#" starting a comment; a command named by one or
// more words and followed by its arguments, checked against the language's table of commands.

#include <functional>
#include <istream>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

// What is wrong with a line that cannot run, and where.
struct ScriptError {
    int line = 0;
    std::string text;
};

// Nothing when a command ran, else why it could not.
using ScriptResult = std::optional<ScriptError>;

// The longest "wait" of either language, in milliseconds: a day. The clock counts microseconds in
// 64 bits, and a script has no business waiting longer than its device would stay awake.
inline constexpr double kLongestScriptWaitMs = 86'400'000;

// The kinds of argument a command takes.
enum class ScriptArg {
    Word,            // any word
    Number,          // a finite decimal number
    OptionalNumber,  // a number, or nothing
    Rest,            // one word, the last (a value, a name, a path)
};

// A command of a language: the words that name it ("prefs set") and the arguments it takes.
struct ScriptShape {
    const char* name;
    std::vector<ScriptArg> arguments;
};

// A line that names a command of the table: which one, and its word and number arguments in the
// order written.
struct ScriptMatch {
    std::size_t shape = 0;
    std::vector<std::string> words;
    std::vector<double> numbers;
};

// The words of one line; nothing for a line with an unterminated quote.
std::optional<std::vector<std::string>> splitScriptWords(std::string_view line);

// Line `number` against `table`: nothing for a blank or comment line, the command it names
// (the longest name the line starts with), or the error that makes it malformed (unknown
// command, wrong number or kind of arguments).
std::variant<std::monostate, ScriptMatch, ScriptError> matchScriptLine(
    std::string_view line, int number, std::span<const ScriptShape> table);

// Reads a script line by line from `in` as it arrives and hands each to `run` with its number,
// until the input ends or `run` answers false.
void forEachScriptLine(std::istream& in, const std::function<bool(std::string_view, int)>& run);

// A script language: its commands, each the shape of a line and the verb it stands for.
template <typename Verb>
class ScriptLanguage {
public:
    struct Command {
        Verb verb;
        ScriptShape shape;
    };

    explicit ScriptLanguage(std::vector<Command> commands) : commands_(std::move(commands)) {
        for (const auto& command : commands_) shapes_.push_back(command.shape);
    }

    // The words that name `verb` ("?" for none).
    const char* nameOf(Verb verb) const {
        for (const auto& command : commands_) {
            if (command.verb == verb) return command.shape.name;
        }
        return "?";
    }

    // Line `number`: nothing for a blank or comment line, the verb with its arguments, or the
    // error that makes it malformed.
    std::variant<std::monostate, std::pair<Verb, ScriptMatch>, ScriptError> parse(
        std::string_view line, int number) const {
        auto matched = matchScriptLine(line, number, shapes_);
        if (auto* error = std::get_if<ScriptError>(&matched)) return std::move(*error);
        auto* match = std::get_if<ScriptMatch>(&matched);
        if (!match) return std::monostate{};
        return std::pair{commands_[match->shape].verb, std::move(*match)};
    }

private:
    std::vector<Command> commands_;
    std::vector<ScriptShape> shapes_;
};
