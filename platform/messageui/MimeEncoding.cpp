#include "platform/messageui/MimeEncoding.h"

#include <algorithm>
#include <vector>

namespace {

constexpr std::size_t kMaxEncodedLine = 76;
// Bytes of header text per encoded-word: 48 base64 characters, so that a word with its
// "=?utf-8?B?" and "?=" is 60 characters and fits on a line after any header name we write.
constexpr std::size_t kBytesPerEncodedWord = 36;
// Lines of a header written as it is are kept to the recommended 78 characters.
constexpr std::size_t kMaxPlainHeaderLine = 78;

constexpr char kBase64Alphabet[] =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr char kHexDigits[] = "0123456789ABCDEF";

// Four base64 characters for the `count` (1 to 3) bytes at `bytes`, padded with '='.
void appendBase64Group(std::string& out, const std::uint8_t* bytes, std::size_t count) {
    const std::uint32_t group = std::uint32_t{bytes[0]} << 16 |
                                (count > 1 ? std::uint32_t{bytes[1]} << 8 : 0) |
                                (count > 2 ? std::uint32_t{bytes[2]} : 0);
    out += kBase64Alphabet[group >> 18 & 63];
    out += kBase64Alphabet[group >> 12 & 63];
    out += count > 1 ? kBase64Alphabet[group >> 6 & 63] : '=';
    out += count > 2 ? kBase64Alphabet[group & 63] : '=';
}

std::string base64(std::span<const std::uint8_t> bytes) {
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    for (std::size_t at = 0; at < bytes.size(); at += 3) {
        appendBase64Group(out, bytes.data() + at, std::min<std::size_t>(3, bytes.size() - at));
    }
    return out;
}

std::string percentOrHex(char lead, unsigned char byte) {
    return {lead, kHexDigits[byte >> 4], kHexDigits[byte & 15]};
}

// The text split at its line breaks: LF, CRLF and a lone CR each end a line.
std::vector<std::string_view> linesOf(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    for (std::size_t at = 0; at < text.size(); ++at) {
        if (text[at] != '\n' && text[at] != '\r') continue;
        lines.push_back(text.substr(start, at - start));
        if (text[at] == '\r' && at + 1 < text.size() && text[at + 1] == '\n') ++at;
        start = at + 1;
    }
    lines.push_back(text.substr(start));
    return lines;
}

// One character of a quoted-printable line: itself when it is printable ASCII other than '=',
// or a space or tab that is not the last of its line (trailing white space may be stripped on
// the way); "=XX" otherwise.
std::string quotedPrintableToken(unsigned char c, bool lastOfLine) {
    const bool blank = c == ' ' || c == '\t';
    const bool printable = c > ' ' && c < 127 && c != '=';
    if (printable || (blank && !lastOfLine)) return std::string(1, static_cast<char>(c));
    return percentOrHex('=', c);
}

// One line of text in quoted-printable, soft-broken with "=" before a line would pass 76
// characters. The last token may use the column the "=" would otherwise need.
std::string quotedPrintableLine(std::string_view line) {
    std::string out;
    std::size_t column = 0;
    for (std::size_t at = 0; at < line.size(); ++at) {
        const bool last = at + 1 == line.size();
        const std::string token = quotedPrintableToken(static_cast<unsigned char>(line[at]), last);
        const std::size_t room = last ? kMaxEncodedLine : kMaxEncodedLine - 1;
        if (column + token.size() > room) {
            out += "=\r\n";
            column = 0;
        }
        out += token;
        column += token.size();
    }
    return out;
}

bool isPlainAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= ' ' && c < 127; });
}

// Whether a reader would take `text` as it is: printable ASCII, short enough for one line, with
// nothing that reads as the start of an encoded-word, and no white space at either end (readers
// drop it).
bool canWriteAsItIs(std::string_view name, std::string_view text) {
    return isPlainAscii(text) && name.size() + 2 + text.size() <= kMaxPlainHeaderLine &&
           text.find("=?") == std::string_view::npos && !text.starts_with(' ') &&
           !text.ends_with(' ');
}

// How many of the first `limit` bytes of `text` to take without cutting a UTF-8 sequence in two
// (an encoded-word must hold whole characters). Text that is not UTF-8 is cut anywhere.
std::size_t wholeCharactersWithin(std::string_view text, std::size_t limit) {
    if (text.size() <= limit) return text.size();
    for (std::size_t cut = limit; cut > limit - 4 && cut > 0; --cut) {
        if ((static_cast<unsigned char>(text[cut]) & 0xC0) != 0x80) return cut;
    }
    return limit;
}

std::string encodedWords(std::string_view text) {
    std::string out;
    while (!text.empty()) {
        const std::size_t take = wholeCharactersWithin(text, kBytesPerEncodedWord);
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
        if (!out.empty()) out += "\r\n ";
        out += "=?utf-8?B?" + base64({bytes, take}) + "?=";
        text.remove_prefix(take);
    }
    return out;
}

// Whether `c` may stand for itself in an extended parameter value.
bool isAttributeCharacter(unsigned char c) {
    static constexpr std::string_view kMarks = "!#$&+-.^_`|~";
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
           kMarks.find(static_cast<char>(c)) != std::string_view::npos;
}

}  // namespace

std::string mimeBase64Lines(std::span<const std::uint8_t> bytes) {
    const std::string encoded = base64(bytes);
    std::string out;
    out.reserve(encoded.size() + encoded.size() / kMaxEncodedLine * 2);
    for (std::size_t at = 0; at < encoded.size(); at += kMaxEncodedLine) {
        if (at > 0) out += "\r\n";
        out.append(encoded, at, kMaxEncodedLine);
    }
    return out;
}

std::string mimeQuotedPrintable(std::string_view text) {
    std::string out;
    bool first = true;
    for (const std::string_view line : linesOf(text)) {
        if (!first) out += "\r\n";
        out += quotedPrintableLine(line);
        first = false;
    }
    return out;
}

std::string mimeHeaderText(std::string_view name, std::string_view text) {
    const std::string clean = withoutControlCharacters(text);
    return canWriteAsItIs(name, clean) ? clean : encodedWords(clean);
}

std::string mimeParameter(std::string_view name, std::string_view value) {
    const std::string clean = withoutControlCharacters(value);
    const bool quotable = isPlainAscii(clean) && clean.find_first_of("\"\\") == std::string::npos;
    if (quotable) return std::string(name) + "=\"" + clean + "\"";
    std::string out = std::string(name) + "*=utf-8''";
    for (const char c : clean) {
        const auto byte = static_cast<unsigned char>(c);
        out += isAttributeCharacter(byte) ? std::string(1, c) : percentOrHex('%', byte);
    }
    return out;
}

std::string withoutControlCharacters(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (static_cast<unsigned char>(c) < ' ' || c == 127) c = ' ';
    }
    return out;
}
