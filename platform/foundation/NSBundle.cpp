#include "platform/foundation/NSBundle.h"

std::filesystem::path NSBundle::pathForResource(std::string_view name, std::string_view type) const {
    std::string file(name);
    if (!type.empty()) file.append(".").append(type);
    return path_ / file;
}

const PlistDictionary& NSBundle::stringsTable(std::string_view table) const {
    const std::string name = table.empty() ? "Localizable" : std::string(table);
    auto found = tables_.find(name);
    if (found == tables_.end()) {
        auto read = readPropertyListDictionary(path_ / "en.lproj" / (name + ".strings"));
        found = tables_.emplace(name, read ? std::move(*read) : PlistDictionary{}).first;
    }
    return found->second;
}

std::string NSBundle::localizedStringForKey(std::string_view key, std::string_view value,
                                            std::string_view table) const {
    const auto& strings = stringsTable(table);
    if (const auto found = strings.find(key); found != strings.end()) {
        if (const auto* text = found->second.as<std::string>()) return *text;
    }
    return std::string(value.empty() ? key : value);
}
