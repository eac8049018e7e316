#include "platform/preferences/SpecifierListLoader.h"

#include "platform/foundation/NSLog.h"

#include <fstream>
#include <iterator>

namespace {

// A specifier list is a few kilobytes; anything this large is not one.
constexpr std::uintmax_t kLargestList = 1 << 20;

const std::string* stringOf(const PlistDictionary& item, std::string_view key) {
    const auto found = item.find(key);
    return found == item.end() ? nullptr : found->second.as<std::string>();
}

// A row's choices: validValues paired with validTitles, both arrays of the same length, the
// titles strings and no value holding NaN. Nothing when the row has neither; an error text when they do not fit.
std::optional<std::string> readChoices(const PlistDictionary& item, PSSpecifier& row) {
    const auto values = item.find("validValues");
    const auto titles = item.find("validTitles");
    if (values == item.end() && titles == item.end()) return std::nullopt;
    const auto* valueList = values == item.end() ? nullptr : values->second.as<PlistArray>();
    const auto* titleList = titles == item.end() ? nullptr : titles->second.as<PlistArray>();
    if (!valueList || !titleList || valueList->size() != titleList->size()) {
        return "validValues and validTitles must be arrays of the same length";
    }
    PSTitleDictionary choices;
    for (std::size_t i = 0; i < valueList->size(); ++i) {
        const auto* title = (*titleList)[i].as<std::string>();
        if (!title) return "a title in validTitles is not a string";
        // A choice holding NaN, anywhere within it, equals no value at all, so no stored value
        // could ever be shown as that choice.
        if (!((*valueList)[i] == (*valueList)[i])) return "a value in validValues holds NaN";
        choices.emplace_back((*valueList)[i], *title);
    }
    row.setTitleDictionary(std::move(choices));
    return std::nullopt;
}

// The row an item describes, or an error text.
std::variant<PSSpecifierRef, std::string> rowFrom(const PlistValue& value, id target) {
    const auto* item = value.as<PlistDictionary>();
    if (!item) return std::string("an item is not a dictionary");
    const auto* cellName = stringOf(*item, "cell");
    const auto cell = cellName ? PSCellTypeNamed(*cellName) : std::nullopt;
    if (!cell) return "an item has no cell of a known kind" + (cellName ? ": " + *cellName : "");
    for (const char* textKey : {"label", "key", "defaults", "action", "set", "get"}) {
        if (item->contains(textKey) && !stringOf(*item, textKey)) {
            return std::string("the ") + textKey + " of an item is not a string";
        }
    }
    auto row = std::make_shared<PSSpecifier>();
    row->setCellType(*cell);
    if (const auto* label = stringOf(*item, "label")) row->setName(*label);
    for (const auto& [key, entry] : *item) row->setProperty(key, entry);
    if (auto error = readChoices(*item, *row)) return *error;
    row->setTarget(target);
    if (const auto* action = stringOf(*item, "action")) row->setAction(sel_registerName(*action));
    if (const auto* setter = stringOf(*item, "set")) row->setSetter(sel_registerName(*setter));
    if (const auto* getter = stringOf(*item, "get")) row->setGetter(sel_registerName(*getter));
    return row;
}

}  // namespace

PSSpecifierList PSSpecifiersFromBytes(std::span<const char> bytes, id target) {
    const auto list = propertyListFromBytes(bytes);
    const auto* root = list ? list->as<PlistDictionary>() : nullptr;
    const auto items = root ? root->find("items") : PlistDictionary::const_iterator{};
    const auto* itemList = root && items != root->end() ? items->second.as<PlistArray>() : nullptr;
    if (!itemList) {
        NSLog("Preferences: the specifier list is not a dictionary with an items array");
        return {};
    }
    PSSpecifierList rows;
    for (std::size_t i = 0; i < itemList->size(); ++i) {
        auto row = rowFrom((*itemList)[i], target);
        if (auto* error = std::get_if<std::string>(&row)) {
            NSLog("Preferences: item " + std::to_string(i) + " left out: " + *error);
            continue;
        }
        rows.push_back(std::move(std::get<PSSpecifierRef>(row)));
    }
    return rows;
}

PSSpecifierList PSLoadSpecifierList(const std::filesystem::path& path, id target) {
    std::error_code ec;
    const auto size = std::filesystem::file_size(path, ec);
    if (ec || size > kLargestList) {
        NSLog("Preferences: no specifier list at " + path.string());
        return {};
    }
    std::ifstream file(path, std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(file), {}};
    return PSSpecifiersFromBytes(bytes, target);
}
