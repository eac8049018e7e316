#pragma once

// The encodings that carry any text and any bytes through a mail, whose lines must be short
// 7-bit ASCII ending in CRLF: base64 and quoted-printable for the parts, encoded-words for header
// text, and extended parameters for file names. Each answers its lines joined by CRLF, without a
// CRLF after the last, so that the caller decides what follows.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

// `bytes` in base64, in lines of at most 76 characters; empty for no bytes.
std::string mimeBase64Lines(std::span<const std::uint8_t> bytes);

// `text` in quoted-printable: each of its line breaks (LF, CRLF or a lone CR) becomes CRLF, and a
// longer line is cut by soft breaks so that no encoded line passes 76 characters.
std::string mimeQuotedPrintable(std::string_view text);

// The UTF-8 `text` as the value of an unstructured header named `name` (without the colon): as
// it is when it is short printable ASCII that a reader cannot mistake for an encoded-word,
// otherwise as encoded-words on folded lines. Control characters (line breaks included) become
// spaces first, so that no text can end the header.
std::string mimeHeaderText(std::string_view name, std::string_view text);

// The parameter `name` with the UTF-8 `value` (`name="value"`, or `name*=utf-8''…` with the
// bytes percent-encoded when the value is not plain printable ASCII), to follow a "; ".
std::string mimeParameter(std::string_view name, std::string_view value);

// `text` with every control character (C0 and DEL) replaced by a space.
std::string withoutControlCharacters(std::string_view text);
