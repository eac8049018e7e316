#include "sim/device/ScriptParser.h"

#include <charconv>
#include <cmath>

namespace {

enum class Arg {
    Word,            // any word
    Number,          // a finite decimal number
    OptionalNumber,  // a number, or nothing
    Rest,            // one word, the last (a value, a name, a path)
};

// A command: its verb, the words that name it, then the arguments it takes.
struct CommandShape {
    ScriptVerb verb;
    const char* name;
    std::vector<Arg> arguments;
};

const std::vector<CommandShape>& commandTable() {
    using enum Arg;
    using V = ScriptVerb;
    static const std::vector<CommandShape> table = {
        {V::Device, "device", {Word}},
        {V::Screen, "screen", {Number, Number, OptionalNumber}},
        {V::Orientation, "orientation", {Number}},
        {V::PasscodeOn, "passcode on", {}},
        {V::PasscodeOff, "passcode off", {}},
        {V::PasscodeEnter, "passcode enter", {}},
        {V::PasscodeCancel, "passcode cancel", {}},
        {V::FrontApp, "front-app", {Word}},
        {V::SpringBoardWithout, "springboard without", {Word}},
        {V::PrefsSet, "prefs set", {Word, Rest}},
        {V::PrefsDelete, "prefs delete", {Word}},
        {V::PrefsClear, "prefs clear", {}},
        {V::PrefsFile, "prefs file", {Rest}},
        {V::Notify, "notify", {Word}},
        {V::Boot, "boot", {}},
        {V::Lock, "lock", {}},
        {V::AutoLock, "autolock", {}},
        {V::Wake, "wake", {}},
        {V::Dim, "dim", {}},
        {V::Alert, "alert", {}},
        {V::PluginFullscreen, "plugin-fullscreen", {}},
        {V::CameraOn, "camera on", {}},
        {V::CameraOff, "camera off", {}},
        {V::MediaOn, "media on", {}},
        {V::MediaOff, "media off", {}},
        {V::SyncOn, "sync on", {}},
        {V::SyncOff, "sync off", {}},
        {V::Down, "down", {Number, Number, OptionalNumber, OptionalNumber}},
        {V::Move, "move", {Number, Number, OptionalNumber, OptionalNumber}},
        {V::Up, "up", {}},
        {V::Cancel, "cancel", {}},
        {V::Wait, "wait", {Number}},
        {V::DumpSettings, "dump settings", {}},
        {V::DumpViews, "dump views", {}},
        {V::DumpSession, "dump session", {}},
        {V::Snap, "snap", {Word}},
    };
    return table;
}

std::optional<double> parseNumber(std::string_view word) {
    if (!word.empty() && word[0] == '+') word.remove_prefix(1);
    double value = 0;
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value);
    if (error != std::errc{} || end != word.data() + word.size() || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

// How many words the verb takes when the line starts with it, or 0.
std::size_t verbLength(const std::vector<std::string>& words, std::string_view verb) {
    std::size_t count = 0;
    std::size_t at = 0;
    while (at <= verb.size()) {
        const std::size_t space = std::min(verb.find(' ', at), verb.size());
        if (count >= words.size() || words[count] != verb.substr(at, space - at)) return 0;
        ++count;
        at = space + 1;
    }
    return count;
}

std::string usage(const CommandShape& shape) {
    std::string text = shape.name;
    for (const auto arg : shape.arguments) {
        text += arg == Arg::Number ? " N" : arg == Arg::OptionalNumber ? " [N]" : " WORD";
    }
    return text;
}

std::optional<std::string> checkArguments(const CommandShape& shape,
                                          const std::vector<std::string>& arguments) {
    std::size_t required = 0;
    for (const auto arg : shape.arguments) required += arg != Arg::OptionalNumber;
    if (arguments.size() < required || arguments.size() > shape.arguments.size()) {
        return "expected: " + usage(shape);
    }
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const Arg kind = shape.arguments[i];
        if ((kind == Arg::Number || kind == Arg::OptionalNumber) && !parseNumber(arguments[i])) {
            return "not a number: " + arguments[i] + " (expected: " + usage(shape) + ")";
        }
    }
    return std::nullopt;
}

// The command of `shape` with `arguments`, checked: numbers parsed, words kept.
ScriptCommand commandOf(const CommandShape& shape, const std::vector<std::string>& arguments,
                        int line) {
    ScriptCommand command{shape.verb, {}, {}, line};
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const Arg kind = shape.arguments[i];
        if (kind == Arg::Number || kind == Arg::OptionalNumber) {
            command.numbers.push_back(*parseNumber(arguments[i]));
        } else {
            command.words.push_back(arguments[i]);
        }
    }
    return command;
}

}  // namespace

const char* scriptVerbName(ScriptVerb verb) {
    for (const auto& shape : commandTable()) {
        if (shape.verb == verb) return shape.name;
    }
    return "?";
}

std::optional<std::vector<std::string>> splitScriptWords(std::string_view line) {
    std::vector<std::string> words;
    std::size_t i = 0;
    while (i < line.size()) {
        const char c = line[i];
        if (c == ' ' || c == '\t' || c == '\r') {
            ++i;
        } else if (c == '#') {
            break;
        } else if (c == '"') {
            const std::size_t close = line.find('"', i + 1);
            if (close == std::string_view::npos) return std::nullopt;
            words.emplace_back(line.substr(i + 1, close - i - 1));
            i = close + 1;
        } else {
            const std::size_t end = line.find_first_of(" \t\r\"#", i);
            words.emplace_back(line.substr(i, end == std::string_view::npos ? end : end - i));
            i = end == std::string_view::npos ? line.size() : end;
        }
    }
    return words;
}

ParsedLine parseScriptLine(std::string_view line, int number) {
    const auto words = splitScriptWords(line);
    if (!words) return {std::nullopt, ScriptError{number, "unterminated quote"}};
    if (words->empty()) return {};
    // The longest verb that the line starts with ("prefs set" before "prefs").
    const CommandShape* best = nullptr;
    std::size_t bestLength = 0;
    for (const auto& shape : commandTable()) {
        const std::size_t length = verbLength(*words, shape.name);
        if (length > bestLength) {
            best = &shape;
            bestLength = length;
        }
    }
    if (!best) return {std::nullopt, ScriptError{number, "unknown command: " + std::string(line)}};
    const std::vector<std::string> arguments(words->begin() + bestLength, words->end());
    if (auto error = checkArguments(*best, arguments)) {
        return {std::nullopt, ScriptError{number, *error}};
    }
    return {commandOf(*best, arguments, number), std::nullopt};
}
