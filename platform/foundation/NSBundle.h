#pragma once

// A bundle: a folder of a module's resources. Its localised strings come from the table
// "<folder>/en.lproj/<table>.strings", a property-list dictionary (the device speaks English).

#include "platform/foundation/PropertyList.h"

#include <filesystem>
#include <map>
#include <string>
#include <string_view>

class NSBundle {
public:
    // The bundle in the folder at host path `path`.
    explicit NSBundle(std::filesystem::path path) : path_(std::move(path)) {}

    const std::filesystem::path& bundlePath() const { return path_; }
    // The host path of resource `name`.`type` in the bundle (it may not exist).
    std::filesystem::path pathForResource(std::string_view name, std::string_view type) const;

    // The string for `key` in `table` ("Localizable" when empty): `value` when the table lacks
    // the key or cannot be read, and `key` itself when `value` is empty too.
    std::string localizedStringForKey(std::string_view key, std::string_view value,
                                      std::string_view table = {}) const;

private:
    const PlistDictionary& stringsTable(std::string_view table) const;

    std::filesystem::path path_;
    mutable std::map<std::string, PlistDictionary, std::less<>> tables_;
};
