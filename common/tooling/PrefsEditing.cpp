#include "common/tooling/PrefsEditing.h"

#include "colour/UIColor_Expanded.h"
#include "common/tooling/NearestWord.h"
#include "tweak/settings/CVSettingsKeys.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <sstream>

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// [sign] digits
bool isIntegerLiteral(std::string_view text) {
    std::size_t i = (!text.empty() && (text[0] == '+' || text[0] == '-')) ? 1 : 0;
    if (i == text.size()) return false;
    for (; i < text.size(); ++i) {
        if (!isDigit(text[i])) return false;
    }
    return true;
}

// [sign] digits [. digits] [e [sign] digits], with a digit before or after the point.
bool isDecimalLiteral(std::string_view text) {
    std::size_t i = (!text.empty() && (text[0] == '+' || text[0] == '-')) ? 1 : 0;
    std::size_t digits = 0;
    for (; i < text.size() && isDigit(text[i]); ++i) ++digits;
    if (i < text.size() && text[i] == '.') {
        for (++i; i < text.size() && isDigit(text[i]); ++i) ++digits;
    }
    if (digits == 0) return false;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
        std::size_t exponent = 0;
        for (; i < text.size() && isDigit(text[i]); ++i) ++exponent;
        if (exponent == 0) return false;
    }
    return i == text.size();
}

std::string_view withoutPlus(std::string_view text) {
    return (!text.empty() && text[0] == '+') ? text.substr(1) : text;
}

}  // namespace

ParsedPrefsValue parsePrefsValue(std::string_view text, PrefsValueKind kind) {
    if (kind == PrefsValueKind::String) return {PlistValue(std::string(text)), {}};
    if (text == "true" || text == "YES") return {PlistValue(true), {}};
    if (text == "false" || text == "NO") return {PlistValue(false), {}};
    if (isIntegerLiteral(text)) {
        const auto digits = withoutPlus(text);
        std::int64_t value = 0;
        const auto result = std::from_chars(digits.data(), digits.data() + digits.size(), value);
        if (result.ec != std::errc{}) return {std::nullopt, "integer out of range: " + std::string(text)};
        return {PlistValue(value), {}};
    }
    if (isDecimalLiteral(text)) {
        const auto digits = withoutPlus(text);
        double value = 0;
        const auto result = std::from_chars(digits.data(), digits.data() + digits.size(), value);
        if (result.ec != std::errc{} || !std::isfinite(value)) {
            return {std::nullopt, "number out of range: " + std::string(text)};
        }
        return {PlistValue(value), {}};
    }
    return {PlistValue(std::string(text)), {}};
}

namespace {

bool sameText(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

// `text` in quotes for a one-line message: at most 40 characters, control characters as "?".
std::string quoted(std::string_view text) {
    constexpr std::size_t kLongest = 40;
    std::string shown(text.substr(0, kLongest));
    std::replace_if(shown.begin(), shown.end(),
                    [](char c) { return std::iscntrl(static_cast<unsigned char>(c)) != 0; }, '?');
    return "\"" + shown + (text.size() > kLongest ? "…" : "") + "\"";
}

// The boolean `text` names; nothing when it names none.
std::optional<bool> booleanOf(std::string_view text) {
    for (const char* yes : {"true", "YES", "yes", "1"}) {
        if (text == yes) return true;
    }
    for (const char* no : {"false", "NO", "no", "0"}) {
        if (text == no) return false;
    }
    return std::nullopt;
}

// The choice of `key` that `text` names by number or by name.
std::optional<std::int32_t> choiceOf(const CVSettingsKey& key, std::string_view text) {
    const auto parsed = parsePrefsValue(text, PrefsValueKind::Inferred);
    const auto* number = parsed.value ? parsed.value->as<std::int64_t>() : nullptr;
    for (const auto& [value, name] : key.choices) {
        if ((number && *number == value) || sameText(text, name)) return value;
    }
    return std::nullopt;
}

// The number `text` names within `key`'s range.
std::optional<double> numberOf(const CVSettingsKey& key, std::string_view text) {
    const auto parsed = parsePrefsValue(text, PrefsValueKind::Inferred);
    if (!parsed.value) return std::nullopt;
    double number = 0;
    if (const auto* integer = parsed.value->as<std::int64_t>()) {
        number = static_cast<double>(*integer);
    } else if (const auto* real = parsed.value->as<double>()) {
        number = *real;
    } else {
        return std::nullopt;
    }
    if (!std::isfinite(number) || number < key.least || number > key.most) return std::nullopt;
    return number;
}

// What `key` takes, for the error of a value it does not.
std::string allowedOf(const CVSettingsKey& key) {
    std::ostringstream text;
    switch (key.kind) {
        case CVSettingsKeyKind::Boolean:
            return "true or false (YES or NO)";
        case CVSettingsKeyKind::ColourString:
            return "a colour string such as \"{1, 0.5, 0, 1}\" or \"{0.5, 1}\"";
        case CVSettingsKeyKind::Number:
            text << "a number from " << key.least;
            if (std::isfinite(key.most)) {
                text << " to " << key.most;
            } else {
                text << " up";
            }
            return text.str();
        case CVSettingsKeyKind::Choice:
            for (std::size_t i = 0; i < key.choices.size(); ++i) {
                if (i > 0) text << (i + 1 == key.choices.size() ? " or " : ", ");
                text << key.choices[i].first << " " << key.choices[i].second;
            }
            return text.str();
    }
    return "";
}

std::vector<std::string_view> knownKeys() {
    std::vector<std::string_view> keys;
    for (const auto& key : CVSettingsKeys()) keys.push_back(key.key);
    return keys;
}

}  // namespace

ParsedPrefsValue checkedPrefsValue(std::string_view keyName, std::string_view text, PrefsValueKind kind) {
    const CVSettingsKey* key = CVSettingsKeyNamed(keyName);
    if (!key) {
        std::string error = "no setting is called " + quoted(keyName);
        if (const auto nearest = nearestWord(keyName, knownKeys())) {
            error += " (did you mean " + *nearest + "?)";
        }
        return {std::nullopt, error + "; --raw stores any key"};
    }
    std::optional<PlistValue> value;
    switch (key->kind) {
        case CVSettingsKeyKind::Boolean:
            if (const auto b = booleanOf(text)) value = PlistValue(*b);
            break;
        case CVSettingsKeyKind::Choice:
            if (const auto choice = choiceOf(*key, text)) value = PlistValue(std::int64_t{*choice});
            break;
        case CVSettingsKeyKind::Number:
            if (const auto number = numberOf(*key, text)) value = PlistValue(*number);
            break;
        case CVSettingsKeyKind::ColourString:
            if (UIColor_Expanded::colorWithString(std::string(text))) value = PlistValue(std::string(text));
            break;
    }
    if (!value) {
        return {std::nullopt, std::string(key->key) + " takes " + allowedOf(*key) + ", not " +
                                  quoted(text) + "; --raw stores any value"};
    }
    if (kind == PrefsValueKind::String) {
        // A choice named by its name is stored as its number, which is what the tweak reads.
        const auto* choice = value->as<std::int64_t>();
        value = PlistValue(choice ? std::to_string(*choice) : std::string(text));
    }
    return {std::move(value), {}};
}
