#include "platform/foundation/PropertyList.h"

#include "platform/foundation/BinaryPropertyList.h"

#include <plist/plist.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <memory>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct PlistFree {
    void operator()(plist_t node) const { plist_free(node); }
};
using PlistNode = std::unique_ptr<void, PlistFree>;

// libplist hands out strings it allocated; this takes one over.
std::string takeString(char* text) {
    std::string result = text ? text : "";
    std::free(text);
    return result;
}

std::optional<PlistValue> fromNode(plist_t node, int depth);

std::optional<PlistValue> arrayFromNode(plist_t node, int depth) {
    PlistArray array;
    const uint32_t count = plist_array_get_size(node);
    array.reserve(count);
    for (uint32_t i = 0; i < count; ++i) {
        auto item = fromNode(plist_array_get_item(node, i), depth + 1);
        if (!item) return std::nullopt;
        array.push_back(std::move(*item));
    }
    return PlistValue(std::move(array));
}

std::optional<PlistValue> dictionaryFromNode(plist_t node, int depth) {
    PlistDictionary dictionary;
    plist_dict_iter iter = nullptr;
    plist_dict_new_iter(node, &iter);
    if (!iter) return PlistValue(std::move(dictionary));
    for (;;) {
        char* key = nullptr;
        plist_t item = nullptr;
        plist_dict_next_item(node, iter, &key, &item);
        if (!item) {
            std::free(key);
            break;
        }
        auto value = fromNode(item, depth + 1);
        std::string name = takeString(key);
        if (!value) {
            std::free(iter);
            return std::nullopt;
        }
        dictionary.insert_or_assign(std::move(name), std::move(*value));
    }
    std::free(iter);
    return PlistValue(std::move(dictionary));
}

std::optional<PlistValue> scalarFromNode(plist_t node) {
    switch (plist_get_node_type(node)) {
    case PLIST_BOOLEAN: {
        uint8_t value = 0;
        plist_get_bool_val(node, &value);
        return PlistValue(value != 0);
    }
    case PLIST_UINT: {
        // Integers are kept as 64-bit two's complement, so negative ones come back negative.
        uint64_t value = 0;
        plist_get_uint_val(node, &value);
        return PlistValue(static_cast<std::int64_t>(value));
    }
    case PLIST_REAL: {
        double value = 0;
        plist_get_real_val(node, &value);
        return PlistValue(value);
    }
    case PLIST_STRING: {
        uint64_t length = 0;
        const char* value = plist_get_string_ptr(node, &length);
        return PlistValue(std::string(value ? value : ""));
    }
    case PLIST_DATA: {
        char* bytes = nullptr;
        uint64_t length = 0;
        plist_get_data_val(node, &bytes, &length);
        PlistData data{std::vector<std::uint8_t>(bytes, bytes + length)};
        std::free(bytes);
        return PlistValue(std::move(data));
    }
    case PLIST_DATE: {
        int32_t seconds = 0, microseconds = 0;
        plist_get_date_val(node, &seconds, &microseconds);
        return PlistValue(PlistDate{seconds + microseconds / 1e6});
    }
    default:
        return std::nullopt;
    }
}

std::optional<PlistValue> fromNode(plist_t node, int depth) {
    if (!node || depth > kMaxPropertyListDepth) return std::nullopt;
    switch (plist_get_node_type(node)) {
    case PLIST_ARRAY:
        return arrayFromNode(node, depth);
    case PLIST_DICT:
        return dictionaryFromNode(node, depth);
    default:
        return scalarFromNode(node);
    }
}

// Whether the XML nests arrays and dictionaries deeper than the limit. The XML parser
// recurses once per level, so deep input must be turned away before it reaches the parser.
// Tags inside comments count too: that errs only towards refusing odd files.
bool nestsTooDeeply(std::string_view xml) {
    int depth = 0;
    for (std::size_t at = xml.find('<'); at != std::string_view::npos; at = xml.find('<', at + 1)) {
        const std::string_view tag = xml.substr(at + 1);
        const bool closing = tag.starts_with('/');
        const std::string_view name = closing ? tag.substr(1) : tag;
        if (!name.starts_with("array") && !name.starts_with("dict")) continue;
        const std::size_t end = xml.find('>', at);
        const bool empty = end != std::string_view::npos && end > at && xml[end - 1] == '/';
        if (closing) {
            --depth;
        } else if (!empty && ++depth > kMaxPropertyListDepth) {
            return true;
        }
    }
    return false;
}

plist_t toNode(const PlistValue& value);

struct NodeMaker {
    plist_t operator()(bool value) const { return plist_new_bool(value); }
    plist_t operator()(std::int64_t value) const {
        return plist_new_uint(static_cast<uint64_t>(value));
    }
    plist_t operator()(double value) const { return plist_new_real(value); }
    plist_t operator()(const std::string& value) const { return plist_new_string(value.c_str()); }
    plist_t operator()(const PlistData& value) const {
        return plist_new_data(reinterpret_cast<const char*>(value.bytes.data()),
                              value.bytes.size());
    }
    plist_t operator()(const PlistDate& value) const {
        const double seconds = std::floor(value.secondsSinceReferenceDate);
        const double micro = std::round((value.secondsSinceReferenceDate - seconds) * 1e6);
        return plist_new_date(static_cast<int32_t>(seconds), static_cast<int32_t>(micro));
    }
    plist_t operator()(const PlistArray& value) const {
        plist_t node = plist_new_array();
        for (const auto& item : value) plist_array_append_item(node, toNode(item));
        return node;
    }
    plist_t operator()(const PlistDictionary& value) const {
        plist_t node = plist_new_dict();
        for (const auto& [key, item] : value) plist_dict_set_item(node, key.c_str(), toNode(item));
        return node;
    }
};

plist_t toNode(const PlistValue& value) { return std::visit(NodeMaker{}, value.storage()); }

// The file's bytes, at most one past the limit. Opened without waiting and looked at once open:
// a pipe put in the file's place after it was checked must not hold the reader.
std::optional<std::string> readWholeFile(const std::filesystem::path& path, PlistReadError& error) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    struct stat info {};
    if (fd < 0 || ::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        if (fd >= 0) ::close(fd);
        error = PlistReadError::Unreadable;
        return std::nullopt;
    }
    std::string bytes;
    char buffer[65536];
    ssize_t n = 0;
    while (bytes.size() <= kMaxPropertyListBytes) {
        n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        bytes.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    if (n < 0) {
        error = PlistReadError::Unreadable;
        return std::nullopt;
    }
    return bytes;
}

bool writeAll(int fd, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

}  // namespace

std::optional<PlistValue> propertyListFromBytes(std::span<const char> bytes) {
    if (bytes.empty() || bytes.size() > kMaxPropertyListBytes) return std::nullopt;
    if (isBinaryPropertyList(bytes)) return readBinaryPropertyList(bytes);
    // XML may not hold a NUL character; the parser's string getters abort on one.
    const std::string_view xml(bytes.data(), bytes.size());
    if (xml.find('\0') != std::string_view::npos || nestsTooDeeply(xml)) return std::nullopt;
    plist_t root = nullptr;
    plist_from_memory(bytes.data(), static_cast<uint32_t>(bytes.size()), &root);
    PlistNode owned(root);
    return fromNode(root, 0);
}

PlistReadResult readPropertyListFile(const std::filesystem::path& path) {
    std::error_code ec;
    const auto status = std::filesystem::status(path, ec);
    if (ec || !std::filesystem::exists(status)) return {std::nullopt, PlistReadError::NotFound};
    if (!std::filesystem::is_regular_file(status)) return {std::nullopt, PlistReadError::Unreadable};
    const auto size = std::filesystem::file_size(path, ec);
    if (ec) return {std::nullopt, PlistReadError::Unreadable};
    if (size > kMaxPropertyListBytes) return {std::nullopt, PlistReadError::TooLarge};

    PlistReadError error = PlistReadError::NotPropertyList;
    const auto bytes = readWholeFile(path, error);
    if (!bytes) return {std::nullopt, error};
    auto value = propertyListFromBytes(*bytes);
    if (!value) return {std::nullopt, PlistReadError::NotPropertyList};
    return {std::move(value), PlistReadError::NotFound};
}

std::optional<PlistDictionary> readPropertyListDictionary(const std::filesystem::path& path) {
    auto result = readPropertyListFile(path);
    if (!result.value) return std::nullopt;
    auto* dictionary = result.value->as<PlistDictionary>();
    if (!dictionary) return std::nullopt;
    return std::move(*dictionary);
}

std::string propertyListBytes(const PlistValue& value, PlistFormat format) {
    PlistNode node(toNode(value));
    char* bytes = nullptr;
    uint32_t length = 0;
    if (format == PlistFormat::Binary) {
        plist_to_bin(node.get(), &bytes, &length);
    } else {
        plist_to_xml(node.get(), &bytes, &length);
    }
    std::string result(bytes ? bytes : "", bytes ? length : 0);
    std::free(bytes);
    return result;
}

namespace {

std::function<void(const std::filesystem::path&)>& writeObserver() {
    static std::function<void(const std::filesystem::path&)> observer;
    return observer;
}

// A write in progress keeps its temporary file ".NAME.XXXXXX.writing" locked (flock) from its
// creation until it has been renamed into place. The kernel lets a lock go when its process ends,
// however it ends, so a temporary file that can be locked was left by a writer that died mid-way,
// and the next write beside it removes it: kills never pile files up in the folder.
constexpr std::string_view kTemporarySuffix = ".writing";
constexpr std::size_t kTemporaryRandomLength = 6;
constexpr int kTemporaryAttempts = 8;

// ".NAME.": what the temporary files of `path` begin with.
std::string temporaryPrefix(const std::filesystem::path& path) {
    std::string prefix(1, '.');
    prefix.append(path.filename().string()).push_back('.');
    return prefix;
}

std::string temporaryPattern(const std::filesystem::path& path) {
    std::string name = temporaryPrefix(path);
    name.append(kTemporaryRandomLength, 'X').append(kTemporarySuffix);
    return (path.parent_path() / name).string();
}

bool isTemporaryOf(std::string_view name, const std::filesystem::path& path) {
    const std::string prefix = temporaryPrefix(path);
    return name.size() == prefix.size() + kTemporaryRandomLength + kTemporarySuffix.size() &&
           name.starts_with(prefix) && name.ends_with(kTemporarySuffix);
}

// Whether the descriptor `fd` is the file named `name` now.
bool isNamed(int fd, const char* name) {
    struct stat opened {}, named {};
    return ::fstat(fd, &opened) == 0 && ::lstat(name, &named) == 0 && opened.st_dev == named.st_dev &&
           opened.st_ino == named.st_ino;
}

// Removes the temporary files of `path` that no live writer holds.
void removeAbandonedTemporaries(const std::filesystem::path& path) {
    std::error_code ec;
    const auto folder = path.has_parent_path() ? path.parent_path() : std::filesystem::path(".");
    for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
        if (!isTemporaryOf(entry.path().filename().string(), path)) continue;
        const int fd = ::open(entry.path().c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) continue;
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && isNamed(fd, entry.path().c_str())) {
            ::unlink(entry.path().c_str());
        }
        ::close(fd);
    }
}

// A new temporary file beside `path`, locked by this writer, its name in `name`; -1 when none can
// be made. Another writer may take a file for abandoned between its creation and its lock, so a
// file whose name has gone by the time it is locked is given up for a new one.
int createLockedTemporary(const std::filesystem::path& path, std::string& name) {
    for (int attempt = 0; attempt < kTemporaryAttempts; ++attempt) {
        name = temporaryPattern(path);
        const int fd = ::mkstemps(name.data(), static_cast<int>(kTemporarySuffix.size()));
        if (fd < 0) return -1;
        if (::flock(fd, LOCK_EX) == 0 && isNamed(fd, name.c_str())) return fd;
        ::close(fd);
    }
    return -1;
}

}  // namespace

void setPropertyListWriteObserver(std::function<void(const std::filesystem::path&)> observer) {
    writeObserver() = std::move(observer);
}

bool writePropertyListFile(const std::filesystem::path& path, const PlistValue& value,
                           PlistFormat format) {
    const std::string bytes = propertyListBytes(value, format);
    if (bytes.empty()) return false;
    if (bytes.size() > kMaxPropertyListBytes) {
        // No reader would take it: the old file is worth more than one nobody can read.
        errno = EFBIG;
        return false;
    }
    std::error_code ec;
    if (path.has_parent_path()) std::filesystem::create_directories(path.parent_path(), ec);
    removeAbandonedTemporaries(path);

    std::string temporary;
    const int fd = createLockedTemporary(path, temporary);
    if (fd < 0) return false;
    ::fchmod(fd, 0644);
    // The lock is held until the file has its final name, so that no other writer takes it for
    // an abandoned one.
    const bool placed = writeAll(fd, bytes) && ::fsync(fd) == 0 &&
                        std::rename(temporary.c_str(), path.c_str()) == 0;
    if (!placed) ::unlink(temporary.c_str());
    ::close(fd);
    if (!placed) return false;
    if (writeObserver()) writeObserver()(path);
    return true;
}
