#include "sim/device/ScriptGrammar.h"

#include "common/tooling/NearestWord.h"

#include <charconv>
#include <cmath>

namespace {

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

// `text` as an error message shows it: whole when short, else its start and an ellipsis, so
// that a huge line makes a readable error.
std::string excerpt(std::string_view text) {
    constexpr std::size_t kLongest = 80;
    if (text.size() <= kLongest) return std::string(text);
    std::size_t cut = kLongest;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;  // UTF-8
    return std::string(text.substr(0, cut)).append("…");
}

std::string usage(const ScriptShape& shape) {
    std::string text = shape.name;
    for (const auto arg : shape.arguments) {
        text += arg == ScriptArg::Number ? " N" : arg == ScriptArg::OptionalNumber ? " [N]" : " WORD";
    }
    return text;
}

std::optional<std::string> checkArguments(const ScriptShape& shape,
                                          const std::vector<std::string>& arguments) {
    std::size_t required = 0;
    for (const auto arg : shape.arguments) required += arg != ScriptArg::OptionalNumber;
    if (arguments.size() < required || arguments.size() > shape.arguments.size()) {
        return "expected: " + usage(shape);
    }
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const ScriptArg kind = shape.arguments[i];
        const bool number = kind == ScriptArg::Number || kind == ScriptArg::OptionalNumber;
        if (number && !parseNumber(arguments[i])) {
            return "not a number: " + excerpt(arguments[i]) + " (expected: " + usage(shape) + ")";
        }
    }
    return std::nullopt;
}

}  // namespace

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

std::variant<std::monostate, ScriptMatch, ScriptError> matchScriptLine(
    std::string_view line, int number, std::span<const ScriptShape> table) {
    const auto words = splitScriptWords(line);
    if (!words) return ScriptError{number, "unterminated quote"};
    if (words->empty()) return std::monostate{};
    // The longest name that the line starts with ("prefs set" before "prefs").
    std::optional<std::size_t> best;
    std::size_t bestLength = 0;
    for (std::size_t i = 0; i < table.size(); ++i) {
        const std::size_t length = verbLength(*words, table[i].name);
        if (length > bestLength) {
            best = i;
            bestLength = length;
        }
    }
    if (!best) {
        // The command meant, when the first word is a typo of one ("donw" for "down").
        std::vector<std::string_view> firstWords;
        for (const auto& shape : table) {
            const std::string_view name = shape.name;
            firstWords.push_back(name.substr(0, name.find(' ')));
        }
        const auto meant = nearestWord((*words)[0], firstWords);
        return ScriptError{number, "unknown command: " + excerpt(line) +
                                       (meant ? " (did you mean " + *meant + "?)" : "")};
    }
    const ScriptShape& shape = table[*best];
    const std::vector<std::string> arguments(words->begin() + bestLength, words->end());
    if (auto error = checkArguments(shape, arguments)) return ScriptError{number, *error};
    ScriptMatch match{*best, {}, {}};
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const ScriptArg kind = shape.arguments[i];
        if (kind == ScriptArg::Number || kind == ScriptArg::OptionalNumber) {
            match.numbers.push_back(*parseNumber(arguments[i]));
        } else {
            match.words.push_back(arguments[i]);
        }
    }
    return match;
}

void forEachScriptLine(std::istream& in, const std::function<bool(std::string_view, int)>& run) {
    int number = 0;
    for (std::string line; std::getline(in, line);) {
        if (!run(line, ++number)) return;
    }
}
