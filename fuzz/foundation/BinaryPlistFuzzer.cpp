// Feeds arbitrary bytes to the binary property-list reader on its own. Beyond not crashing, a
// value it reads survives being written out in binary again and read back, whenever the writer
// can hold it: no date (the writer keeps whole microseconds of a 32-bit second count), no real
// that is not a number (it equals nothing, itself included), and no text that is not UTF-8 or
// that holds a NUL character (the writer takes C strings).

#include "platform/foundation/BinaryPropertyList.h"

#include <cmath>
#include <cstdlib>
#include <span>
#include <string>
#include <variant>

namespace {

// The length of the UTF-8 sequence that `lead` starts; 0 for a NUL or a byte that starts none.
std::size_t sequenceLength(unsigned char lead) {
    if (lead == 0) return 0;
    if (lead < 0x80) return 1;
    if ((lead >> 5) == 0x6) return 2;
    if ((lead >> 4) == 0xE) return 3;
    if ((lead >> 3) == 0x1E) return 4;
    return 0;
}

bool isUtf8WithoutNul(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = sequenceLength(lead);
        if (length == 0 || i + length > text.size()) return false;
        std::uint32_t code = length == 1 ? lead : lead & (0x7F >> length);
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80) return false;
            code = (code << 6) | (next & 0x3F);
        }
        // No overlong forms, no surrogates, nothing past U+10FFFF.
        const std::uint32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
        if (code < least[length] || (code >= 0xD800 && code < 0xE000) || code > 0x10FFFF) {
            return false;
        }
        i += length;
    }
    return true;
}

bool writable(const PlistValue& value) {
    return std::visit(
        [](const auto& held) -> bool {
            using T = std::decay_t<decltype(held)>;
            if constexpr (std::is_same_v<T, double>) {
                return !std::isnan(held);
            } else if constexpr (std::is_same_v<T, PlistDate>) {
                return false;
            } else if constexpr (std::is_same_v<T, std::string>) {
                return isUtf8WithoutNul(held);
            } else if constexpr (std::is_same_v<T, PlistArray>) {
                for (const auto& item : held) {
                    if (!writable(item)) return false;
                }
                return true;
            } else if constexpr (std::is_same_v<T, PlistDictionary>) {
                for (const auto& [key, item] : held) {
                    if (!isUtf8WithoutNul(key) || !writable(item)) return false;
                }
                return true;
            } else {
                return true;
            }
        },
        value.storage());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const char> bytes(reinterpret_cast<const char*>(data), size);
    const auto value = readBinaryPropertyList(bytes);
    if (!value || !writable(*value)) return 0;
    const std::string written = propertyListBytes(*value, PlistFormat::Binary);
    const auto reread = readBinaryPropertyList(written);
    if (!reread || !(*reread == *value)) std::abort();
    return 0;
}
