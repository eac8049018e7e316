#pragma once

// Reading colour texts: the token scanner behind colorWithString and the hexadecimal reader
// behind colorWithHexString and the named-colour table. Both follow the platform scanner's
// rules and do not depend on the locale.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace UIColor_Expanded::detail {

// Walks a colour string token by token, skipping white space (space, tab, line feed, carriage
// return, vertical tab, form feed) before every token.
class ColorStringScanner {
public:
    // A scanner at the start of `text`, which must outlive it.
    explicit ColorStringScanner(std::string_view text) : text_(text) {}

    // Consumes `symbol` when it is the next token; whether it was.
    bool scanCharacter(char symbol);

    // Consumes the decimal number that is the next token (optional sign, digits with an
    // optional fraction, optional exponent), read as a 32-bit float; nothing when no number is
    // next. Beyond the float range a number reads as infinity, below it as zero, of its sign.
    std::optional<float> scanFloat();

    // Whether nothing but white space remains.
    bool isAtEnd();

private:
    void skipWhiteSpace();

    std::string_view text_;
    std::size_t position_ = 0;
};

// The hexadecimal number at the start of `text`, after white space and an optional "0x" or
// "0X", up to the first character that is not a hexadecimal digit; nothing when no digit is
// there. A number beyond 32 bits reads as UINT32_MAX.
std::optional<uint32_t> scanHexInt(std::string_view text);

}  // namespace UIColor_Expanded::detail
