#include "platform/foundation/PropertyList.h"

#include "platform/foundation/AtomicFile.h"
#include "platform/foundation/BinaryPropertyList.h"
#include "platform/foundation/BoundedFileRead.h"

#include <plist/plist.h>

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <memory>

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
    const auto read = readBoundedFile(path, kMaxPropertyListBytes, FileLinks::Follow);
    switch (read.problem) {
        case FileReadProblem::None:
            break;
        case FileReadProblem::NotFound:
            return {std::nullopt, PlistReadError::NotFound};
        case FileReadProblem::TooLarge:
            return {std::nullopt, PlistReadError::TooLarge};
        default:
            return {std::nullopt, PlistReadError::Unreadable};
    }
    auto value = propertyListFromBytes(*read.bytes);
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
    const auto fill = [&](int fd) { return writeAllBytes(fd, bytes); };
    if (!replaceFileAtomically(path, fill)) return false;
    if (writeObserver()) writeObserver()(path);
    return true;
}
