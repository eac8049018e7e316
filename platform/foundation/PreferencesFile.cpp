#include "platform/foundation/PreferencesFile.h"

#include "platform/foundation/DeviceRoot.h"

#include <cerrno>

namespace {

// The file's dictionary: empty for no file, nothing for a file that is not a dictionary.
std::optional<PlistDictionary> currentDictionary(const std::filesystem::path& path,
                                                 PrefsEditError& error) {
    auto read = readPropertyListFile(path);
    if (!read.value) {
        if (read.error == PlistReadError::NotFound) return PlistDictionary{};
        error = "the settings file " + path.string() +
                " is not a readable property list; it was left as it is";
        return std::nullopt;
    }
    auto* dictionary = read.value->as<PlistDictionary>();
    if (!dictionary) {
        error = "the settings file " + path.string() +
                " does not hold a dictionary; it was left as it is";
        return std::nullopt;
    }
    return std::move(*dictionary);
}

bool underDeviceRoot(const std::filesystem::path& path) {
    const auto relative =
        std::filesystem::absolute(path).lexically_normal().lexically_relative(DeviceRoot::get());
    return !relative.empty() && *relative.begin() != "..";
}

}  // namespace

PrefsEditError writePrefsDictionary(const std::filesystem::path& path, PlistDictionary dictionary) {
    if (underDeviceRoot(path) && !DeviceRoot::staysInside(path)) {
        return "the settings file " + path.string() +
               " lies behind a link or a file on the device; it was left as it is";
    }
    if (!writePropertyListFile(path, PlistValue(std::move(dictionary)))) {
        if (errno == EFBIG) {
            return "the settings file " + path.string() +
                   " would grow past 4 MiB, more than any reader takes; it was left as it is";
        }
        return "cannot write the settings file " + path.string();
    }
    return {};
}

PrefsEditError setPrefsValue(const std::filesystem::path& path, const std::string& key,
                             PlistValue value) {
    if (key.empty()) return "the key is empty";
    PrefsEditError error;
    auto dictionary = currentDictionary(path, error);
    if (!dictionary) return error;
    dictionary->insert_or_assign(key, std::move(value));
    return writePrefsDictionary(path, std::move(*dictionary));
}

PrefsEditError deletePrefsValue(const std::filesystem::path& path, const std::string& key) {
    if (key.empty()) return "the key is empty";
    PrefsEditError error;
    auto dictionary = currentDictionary(path, error);
    if (!dictionary) return error;
    if (dictionary->erase(key) == 0) return {};
    return writePrefsDictionary(path, std::move(*dictionary));
}
