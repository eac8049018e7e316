#include "platform/foundation/BinaryPropertyList.h"

#include <bit>
#include <cstring>
#include <string_view>

namespace {

constexpr std::string_view kMagic = "bplist00";
constexpr std::size_t kTrailerSize = 32;

class BinaryReader {
public:
    explicit BinaryReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    std::optional<PlistValue> read() {
        if (!readTrailer()) return std::nullopt;
        return object(topObject_, 0);
    }

private:
    // An unsigned big-endian integer of `size` bytes at `at`, if it lies within the data.
    std::optional<std::uint64_t> unsignedAt(std::uint64_t at, std::uint64_t size) const {
        if (size == 0 || size > 8 || at > bytes_.size() || size > bytes_.size() - at) return std::nullopt;
        std::uint64_t value = 0;
        for (std::uint64_t i = 0; i < size; ++i) value = (value << 8) | bytes_[at + i];
        return value;
    }

    bool readTrailer() {
        if (bytes_.size() < kMagic.size() + kTrailerSize) return false;
        const std::uint64_t t = bytes_.size() - kTrailerSize;
        offsetSize_ = bytes_[t + 6];
        refSize_ = bytes_[t + 7];
        objectCount_ = *unsignedAt(t + 8, 8);
        topObject_ = *unsignedAt(t + 16, 8);
        offsetTable_ = *unsignedAt(t + 24, 8);
        if (offsetSize_ < 1 || offsetSize_ > 8 || refSize_ < 1 || refSize_ > 8) return false;
        if (topObject_ >= objectCount_ || offsetTable_ >= t) return false;
        // Every object needs at least one byte, and the offset table must fit before the trailer.
        if (objectCount_ > t || objectCount_ > (t - offsetTable_) / offsetSize_) return false;
        return true;
    }

    std::optional<std::uint64_t> offsetOf(std::uint64_t ref) const {
        if (ref >= objectCount_) return std::nullopt;
        const auto offset = unsignedAt(offsetTable_ + ref * offsetSize_, offsetSize_);
        if (!offset || *offset < kMagic.size() || *offset >= offsetTable_) return std::nullopt;
        return offset;
    }

    // The count in an object's marker: the low nibble, or a following integer object when the
    // nibble is 0xF. `at` moves past what was read.
    std::optional<std::uint64_t> countAt(std::uint8_t marker, std::uint64_t& at) const {
        if ((marker & 0x0F) != 0x0F) return marker & 0x0F;
        const auto intMarker = unsignedAt(at, 1);
        if (!intMarker || (*intMarker & 0xF0) != 0x10 || (*intMarker & 0x0F) > 3) return std::nullopt;
        const std::uint64_t size = std::uint64_t{1} << (*intMarker & 0x0F);
        const auto count = unsignedAt(at + 1, size);
        at += 1 + size;
        return count;
    }

    // Counts `count` more bytes of text or data into the value; false once the value holds more
    // than any file the readers accept could hold. Shared objects let a small file name one long
    // string a great many times, and each naming is a copy; a value's XML form holds every copy,
    // so a value that fits in a file of kMaxPropertyListBytes never reaches the limit.
    bool holdMore(std::uint64_t count) {
        held_ += count;
        return held_ <= kMaxPropertyListBytes;
    }

    // Whether `count` items of `itemSize` bytes fit from `at` on, before the offset table.
    bool fits(std::uint64_t at, std::uint64_t count, std::uint64_t itemSize) const {
        return at <= offsetTable_ && count <= (offsetTable_ - at) / itemSize;
    }

    std::optional<PlistValue> object(std::uint64_t ref, int depth) {
        // Objects may be shared, so a small file could name one object a vast number of times;
        // no honest file visits more objects than it has bytes.
        if (depth > kMaxPropertyListDepth || ++visits_ > bytes_.size()) return std::nullopt;
        const auto offset = offsetOf(ref);
        if (!offset) return std::nullopt;
        const std::uint8_t marker = bytes_[*offset];
        std::uint64_t at = *offset + 1;
        switch (marker >> 4) {
        case 0x0:
            if (marker == 0x08) return PlistValue(false);
            if (marker == 0x09) return PlistValue(true);
            return std::nullopt;
        case 0x1:
            return integer(marker, at);
        case 0x2:
            return real(marker, at);
        case 0x3:
            return date(marker, at);
        case 0x4:
            return data(marker, at);
        case 0x5:
            return asciiString(marker, at);
        case 0x6:
            return unicodeString(marker, at);
        case 0xA:
            return array(marker, at, depth);
        case 0xD:
            return dictionary(marker, at, depth);
        default:
            return std::nullopt;  // sets, UIDs and unknown markers have no place in settings
        }
    }

    std::optional<PlistValue> integer(std::uint8_t marker, std::uint64_t at) const {
        const unsigned power = marker & 0x0F;
        if (power > 4) return std::nullopt;
        const std::uint64_t size = std::uint64_t{1} << power;
        // A 16-byte integer keeps its low 8 bytes, as 64-bit readers do.
        const auto value = unsignedAt(size == 16 ? at + 8 : at, std::min<std::uint64_t>(size, 8));
        if (!value) return std::nullopt;
        return PlistValue(static_cast<std::int64_t>(*value));
    }

    std::optional<PlistValue> real(std::uint8_t marker, std::uint64_t at) const {
        if (marker == 0x22) {
            const auto bits = unsignedAt(at, 4);
            if (!bits) return std::nullopt;
            return PlistValue(static_cast<double>(std::bit_cast<float>(static_cast<std::uint32_t>(*bits))));
        }
        if (marker != 0x23) return std::nullopt;
        const auto bits = unsignedAt(at, 8);
        if (!bits) return std::nullopt;
        return PlistValue(std::bit_cast<double>(*bits));
    }

    std::optional<PlistValue> date(std::uint8_t marker, std::uint64_t at) const {
        const auto bits = unsignedAt(at, 8);
        if (marker != 0x33 || !bits) return std::nullopt;
        return PlistValue(PlistDate{std::bit_cast<double>(*bits)});
    }

    std::optional<PlistValue> data(std::uint8_t marker, std::uint64_t at) {
        const auto count = countAt(marker, at);
        if (!count || !fits(at, *count, 1) || !holdMore(*count)) return std::nullopt;
        const auto* start = bytes_.data() + at;
        return PlistValue(PlistData{std::vector<std::uint8_t>(start, start + *count)});
    }

    std::optional<PlistValue> asciiString(std::uint8_t marker, std::uint64_t at) {
        const auto count = countAt(marker, at);
        if (!count || !fits(at, *count, 1) || !holdMore(*count)) return std::nullopt;
        return PlistValue(std::string(reinterpret_cast<const char*>(bytes_.data() + at), *count));
    }

    std::optional<PlistValue> unicodeString(std::uint8_t marker, std::uint64_t at) {
        const auto count = countAt(marker, at);
        // Each code unit becomes at least one byte of UTF-8.
        if (!count || !fits(at, *count, 2) || !holdMore(*count)) return std::nullopt;
        std::string text;
        for (std::uint64_t i = 0; i < *count; ++i) {
            std::uint32_t unit = *unsignedAt(at + 2 * i, 2);
            // A surrogate pair makes one code point; a lone surrogate becomes U+FFFD.
            if (unit >= 0xD800 && unit < 0xDC00 && i + 1 < *count) {
                const std::uint32_t low = *unsignedAt(at + 2 * (i + 1), 2);
                if (low >= 0xDC00 && low < 0xE000) {
                    unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
                    ++i;
                }
            }
            if (unit >= 0xD800 && unit < 0xE000) unit = 0xFFFD;
            appendUtf8(text, unit);
        }
        return PlistValue(std::move(text));
    }

    static void appendUtf8(std::string& text, std::uint32_t c) {
        if (c < 0x80) {
            text += static_cast<char>(c);
        } else if (c < 0x800) {
            text += static_cast<char>(0xC0 | (c >> 6));
            text += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            text += static_cast<char>(0xE0 | (c >> 12));
            text += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            text += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            text += static_cast<char>(0xF0 | (c >> 18));
            text += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            text += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            text += static_cast<char>(0x80 | (c & 0x3F));
        }
    }

    std::optional<PlistValue> array(std::uint8_t marker, std::uint64_t at, int depth) {
        const auto count = countAt(marker, at);
        if (!count || !fits(at, *count, refSize_)) return std::nullopt;
        PlistArray items;
        items.reserve(*count);
        for (std::uint64_t i = 0; i < *count; ++i) {
            auto item = object(*unsignedAt(at + i * refSize_, refSize_), depth + 1);
            if (!item) return std::nullopt;
            items.push_back(std::move(*item));
        }
        return PlistValue(std::move(items));
    }

    std::optional<PlistValue> dictionary(std::uint8_t marker, std::uint64_t at, int depth) {
        const auto count = countAt(marker, at);
        if (!count || !fits(at, *count, 2 * std::uint64_t{refSize_})) return std::nullopt;
        PlistDictionary entries;
        const std::uint64_t values = at + *count * refSize_;
        for (std::uint64_t i = 0; i < *count; ++i) {
            auto key = object(*unsignedAt(at + i * refSize_, refSize_), depth + 1);
            if (!key || !key->as<std::string>()) return std::nullopt;
            auto value = object(*unsignedAt(values + i * refSize_, refSize_), depth + 1);
            if (!value) return std::nullopt;
            entries.insert_or_assign(std::move(*key->as<std::string>()), std::move(*value));
        }
        return PlistValue(std::move(entries));
    }

    std::span<const std::uint8_t> bytes_;
    unsigned offsetSize_ = 0;
    unsigned refSize_ = 0;
    std::uint64_t objectCount_ = 0;
    std::uint64_t topObject_ = 0;
    std::uint64_t offsetTable_ = 0;
    std::uint64_t visits_ = 0;
    std::uint64_t held_ = 0;
};

}  // namespace

bool isBinaryPropertyList(std::span<const char> bytes) {
    return bytes.size() >= kMagic.size() &&
           std::memcmp(bytes.data(), kMagic.data(), kMagic.size()) == 0;
}

std::optional<PlistValue> readBinaryPropertyList(std::span<const char> bytes) {
    if (!isBinaryPropertyList(bytes)) return std::nullopt;
    return BinaryReader({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()}).read();
}
