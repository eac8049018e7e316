#include "colour/ColorScanning.h"

#include <algorithm>
#include <charconv>
#include <limits>
#include <system_error>

namespace UIColor_Expanded::detail {

namespace {

bool isWhiteSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

bool isSign(char c) {
    return c == '+' || c == '-';
}

int hexDigitValue(char c) {
    if (isDigit(c)) return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::size_t skipWhiteSpaceFrom(std::string_view text, std::size_t position) {
    while (position < text.size() && isWhiteSpace(text[position])) ++position;
    return position;
}

std::size_t digitsFrom(std::string_view text, std::size_t position) {
    std::size_t end = position;
    while (end < text.size() && isDigit(text[end])) ++end;
    return end - position;
}

// The length of the decimal literal at the start of `text`, 0 when there is none. A mantissa
// needs a digit before or after its point; an "e" without digits after it is not an exponent.
std::size_t decimalLiteralLength(std::string_view text) {
    std::size_t length = !text.empty() && isSign(text[0]) ? 1 : 0;
    std::size_t integerDigits = digitsFrom(text, length);
    length += integerDigits;
    std::size_t fractionDigits = 0;
    if (length < text.size() && text[length] == '.') {
        fractionDigits = digitsFrom(text, length + 1);
        if (integerDigits + fractionDigits > 0) length += 1 + fractionDigits;
    }
    if (integerDigits + fractionDigits == 0) return 0;
    if (length < text.size() && (text[length] == 'e' || text[length] == 'E')) {
        std::size_t exponentStart = length + 1;
        if (exponentStart < text.size() && isSign(text[exponentStart])) ++exponentStart;
        std::size_t exponentDigits = digitsFrom(text, exponentStart);
        if (exponentDigits > 0) length = exponentStart + exponentDigits;
    }
    return length;
}

// The decimal exponent of the leading non-zero digit of an unsigned literal that is not zero,
// plus one: 1 for 1 to 9.99, 0 for 0.1 to 0.999, and so on. The exponent is held to a million
// so a long run of exponent digits cannot overflow.
long decimalOrder(std::string_view literal) {
    std::size_t point = std::min(literal.find_first_of(".eE"), literal.size());
    std::size_t mantissaEnd = std::min(literal.find_first_of("eE"), literal.size());
    std::size_t leading = literal.find_first_of("123456789");
    long order = leading < point ? static_cast<long>(point - leading)
                                 : -static_cast<long>(leading - point - 1);
    long exponent = 0;
    bool negative = false;
    for (std::size_t i = mantissaEnd + 1; i < literal.size(); ++i) {
        if (literal[i] == '-') negative = true;
        if (isDigit(literal[i])) exponent = std::min(exponent * 10 + (literal[i] - '0'), 1000000L);
    }
    return order + (negative ? -exponent : exponent);
}

// The platform scanner saturates: beyond the largest float a number reads as infinity, below
// the smallest as zero, keeping its sign.
float saturated(std::string_view literal) {
    bool negative = literal[0] == '-';
    if (isSign(literal[0])) literal.remove_prefix(1);
    float magnitude = decimalOrder(literal) > 0 ? std::numeric_limits<float>::infinity() : 0.0f;
    return negative ? -magnitude : magnitude;
}

float floatOfLiteral(std::string_view literal) {
    // from_chars reads a leading '-' but not a '+'.
    std::string_view digits = literal[0] == '+' ? literal.substr(1) : literal;
    float value = 0.0f;
    auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    return error == std::errc::result_out_of_range ? saturated(literal) : value;
}

}  // namespace

bool ColorStringScanner::scanCharacter(char symbol) {
    skipWhiteSpace();
    if (position_ == text_.size() || text_[position_] != symbol) return false;
    ++position_;
    return true;
}

std::optional<float> ColorStringScanner::scanFloat() {
    skipWhiteSpace();
    std::string_view rest = text_.substr(position_);
    std::size_t length = decimalLiteralLength(rest);
    if (length == 0) return std::nullopt;
    position_ += length;
    return floatOfLiteral(rest.substr(0, length));
}

bool ColorStringScanner::isAtEnd() {
    skipWhiteSpace();
    return position_ == text_.size();
}

void ColorStringScanner::skipWhiteSpace() {
    position_ = skipWhiteSpaceFrom(text_, position_);
}

std::optional<uint32_t> scanHexInt(std::string_view text) {
    std::size_t position = skipWhiteSpaceFrom(text, 0);
    // "0x" is a prefix only when a digit follows it; otherwise its "0" is the number.
    bool prefixed = text.size() > position + 2 && text[position] == '0' &&
                    (text[position + 1] == 'x' || text[position + 1] == 'X') &&
                    hexDigitValue(text[position + 2]) >= 0;
    if (prefixed) position += 2;
    if (position == text.size() || hexDigitValue(text[position]) < 0) return std::nullopt;
    uint64_t value = 0;
    for (; position < text.size() && hexDigitValue(text[position]) >= 0; ++position) {
        value = std::min<uint64_t>(value * 16 + hexDigitValue(text[position]), UINT32_MAX);
    }
    return static_cast<uint32_t>(value);
}

}  // namespace UIColor_Expanded::detail
