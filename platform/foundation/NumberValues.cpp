#include "platform/foundation/NumberValues.h"

#include "platform/foundation/PropertyList.h"

#include <charconv>
#include <climits>
#include <cmath>
#include <limits>
#include <string>

namespace {

bool isWhiteSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

std::string_view skipWhiteSpace(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && isWhiteSpace(text[i])) ++i;
    return text.substr(i);
}

std::size_t countDigits(std::string_view text, std::size_t from) {
    std::size_t i = from;
    while (i < text.size() && isDigit(text[i])) ++i;
    return i - from;
}

// Converts a real to a 32-bit integer by truncation, holding values beyond the range at its ends.
std::int32_t saturatingInt(double value) {
    if (value >= static_cast<double>(INT_MAX)) return INT_MAX;
    if (value <= static_cast<double>(INT_MIN)) return INT_MIN;
    return static_cast<std::int32_t>(value);
}

}  // namespace

bool boolValue(std::string_view text) {
    text = skipWhiteSpace(text);
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    while (i < text.size() && text[i] == '0') ++i;
    if (i == text.size()) return false;
    const char c = text[i];
    return c == 'Y' || c == 'y' || c == 'T' || c == 't' || (c >= '1' && c <= '9');
}

std::int32_t intValue(std::string_view text) {
    text = skipWhiteSpace(text);
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    std::int64_t magnitude = 0;
    for (; i < text.size() && isDigit(text[i]); ++i) {
        magnitude = magnitude * 10 + (text[i] - '0');
        if (magnitude > std::int64_t{INT_MAX} + 1) break;  // held at the end of the range below
    }
    const std::int64_t value = negative ? -magnitude : magnitude;
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return static_cast<std::int32_t>(value);
}

double doubleValue(std::string_view text) {
    text = skipWhiteSpace(text);
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    const std::size_t start = i;
    std::size_t digits = countDigits(text, i);
    i += digits;
    if (i < text.size() && text[i] == '.') {
        const std::size_t fraction = countDigits(text, i + 1);
        digits += fraction;
        i += 1 + fraction;
    }
    if (digits == 0) return 0;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
        const std::size_t exponent = countDigits(text, j);
        if (exponent > 0) i = j + exponent;
    }
    // from_chars takes no leading '+', so the sign was taken off above and is put back here.
    double value = 0;
    const auto [end, error] = std::from_chars(text.data() + start, text.data() + i, value);
    (void)end;
    if (error == std::errc::result_out_of_range) {
        // Overflow reads as infinity; underflow as zero. Tell them apart by the exponent's sign.
        const std::string_view number = text.substr(start, i - start);
        const auto e = number.find_first_of("eE");
        const bool tiny = e != std::string_view::npos && e + 1 < number.size() && number[e + 1] == '-';
        value = tiny ? 0.0 : std::numeric_limits<double>::infinity();
    }
    return negative ? -value : value;
}

std::optional<bool> boolValue(const PlistValue& value) {
    if (const auto* b = value.as<bool>()) return *b;
    if (const auto* i = value.as<std::int64_t>()) return *i != 0;
    if (const auto* d = value.as<double>()) {
        if (!std::isfinite(*d)) return std::nullopt;
        return *d != 0;
    }
    if (const auto* s = value.as<std::string>()) return boolValue(*s);
    return std::nullopt;
}

std::optional<std::int32_t> intValue(const PlistValue& value) {
    if (const auto* b = value.as<bool>()) return *b ? 1 : 0;
    // A number wider than 32 bits keeps its low 32 bits, as a C conversion of the number does.
    if (const auto* i = value.as<std::int64_t>()) return static_cast<std::int32_t>(*i);
    if (const auto* d = value.as<double>()) {
        if (!std::isfinite(*d)) return std::nullopt;
        return saturatingInt(*d);
    }
    if (const auto* s = value.as<std::string>()) return intValue(*s);
    return std::nullopt;
}

std::optional<double> doubleValue(const PlistValue& value) {
    std::optional<double> result;
    if (const auto* b = value.as<bool>()) result = *b ? 1.0 : 0.0;
    if (const auto* i = value.as<std::int64_t>()) result = static_cast<double>(*i);
    if (const auto* d = value.as<double>()) result = *d;
    if (const auto* s = value.as<std::string>()) result = doubleValue(*s);
    if (result && !std::isfinite(*result)) return std::nullopt;
    return result;
}
