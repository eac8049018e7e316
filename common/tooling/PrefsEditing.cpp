#include "common/tooling/PrefsEditing.h"

#include <charconv>
#include <cmath>

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
