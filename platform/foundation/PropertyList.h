#pragma once

// Property-list values and files: dictionary, array, string, integer, real, boolean, data and
// date, read from XML or binary files and written atomically.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "platform/foundation/Forward.h"

using PlistArray = std::vector<PlistValue>;
using PlistDictionary = std::map<std::string, PlistValue, std::less<>>;

// Raw bytes (a `<data>` element).
struct PlistData {
    std::vector<std::uint8_t> bytes;
    bool operator==(const PlistData&) const = default;
};

// A point in time, in seconds since 2001-01-01 00:00:00 UTC (the platform's reference date).
struct PlistDate {
    double secondsSinceReferenceDate = 0;
    bool operator==(const PlistDate&) const = default;
};

// One property-list value of any kind. Values are plain data: copying copies the whole tree.
class PlistValue {
public:
    using Storage = std::variant<bool, std::int64_t, double, std::string, PlistData, PlistDate,
                                 PlistArray, PlistDictionary>;

    PlistValue() : storage_(PlistDictionary{}) {}
    PlistValue(bool value) : storage_(value) {}
    PlistValue(int value) : storage_(std::int64_t{value}) {}
    PlistValue(std::int64_t value) : storage_(value) {}
    PlistValue(double value) : storage_(value) {}
    explicit PlistValue(const char* value) : storage_(std::string(value)) {}
    explicit PlistValue(std::string value) : storage_(std::move(value)) {}
    PlistValue(PlistData value) : storage_(std::move(value)) {}
    PlistValue(PlistDate value) : storage_(value) {}
    PlistValue(PlistArray value) : storage_(std::move(value)) {}
    PlistValue(PlistDictionary value) : storage_(std::move(value)) {}

    // The value as kind T, or null when it holds another kind.
    template <typename T>
    const T* as() const {
        return std::get_if<T>(&storage_);
    }
    template <typename T>
    T* as() {
        return std::get_if<T>(&storage_);
    }

    const Storage& storage() const { return storage_; }
    bool operator==(const PlistValue&) const = default;

private:
    Storage storage_;
};

// Why a property list could not be read.
enum class PlistReadError {
    NotFound,      // no file at the path
    Unreadable,    // the file exists but cannot be read
    TooLarge,      // larger than kMaxPropertyListBytes
    NotPropertyList,  // neither an XML nor a binary property list, or nested too deeply
};

// Files larger than this are refused unread: a settings file is a few hundred bytes, and a
// process that reads one must not spend its memory or its time on a file that is not one.
inline constexpr std::uintmax_t kMaxPropertyListBytes = 4u << 20;

// Property lists nest at most this deep; deeper input is treated as not a property list.
inline constexpr int kMaxPropertyListDepth = 256;

// A value read from a file, or why it could not be.
struct PlistReadResult {
    std::optional<PlistValue> value;
    PlistReadError error = PlistReadError::NotFound;
};

// Parses bytes in XML or binary form. Nothing on any input: garbage, truncation, over-deep nesting.
std::optional<PlistValue> propertyListFromBytes(std::span<const char> bytes);

// Reads the property list at `path` (a host path), in XML or binary form.
PlistReadResult readPropertyListFile(const std::filesystem::path& path);

// Reads the property list at `path` when its root is a dictionary; nothing otherwise.
std::optional<PlistDictionary> readPropertyListDictionary(const std::filesystem::path& path);

enum class PlistFormat { Xml, Binary };

// Serialises `value` in the given form.
std::string propertyListBytes(const PlistValue& value, PlistFormat format = PlistFormat::Xml);

// Writes `value` to `path` atomically: the bytes go to a temporary file ".NAME.XXXXXX.writing"
// in the same folder, which is flushed and then renamed over `path`, so a reader sees the old
// file or the new one, never half of either. The temporary files of writers that died mid-write
// are removed by the next write. Missing parent folders are created. Returns false when it
// failed (errno EFBIG for bytes beyond kMaxPropertyListBytes), in which case the old file is
// untouched.
bool writePropertyListFile(const std::filesystem::path& path, const PlistValue& value,
                           PlistFormat format = PlistFormat::Xml);

// For hosts: `observer` hears the path of every file writePropertyListFile has put in place
// (nil to stop).
void setPropertyListWriteObserver(std::function<void(const std::filesystem::path& path)> observer);
