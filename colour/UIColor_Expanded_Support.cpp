// UIColor_Expanded_Support: looking a name up in the named-colour table.

#include "colour/UIColor_Expanded_Support.h"

#include <atomic>
#include <string>

#include "colour/ColorScanning.h"
#include "colour/NamedColorTable.h"
#include "colour/UIColor_Expanded.h"

namespace UIColor_Expanded_Support {

namespace {

std::atomic<int> tableSearches{0};

}  // namespace

UIColorRef searchForColorByName(std::string_view name) {
    ++tableSearches;
    // A name holding the table's own "," or "#" would frame a run of entries instead of one
    // ("tan#d2b48c,teal" is found inside ",tan#d2b48c,teal#008080"); no colour's name holds either.
    if (name.find_first_of(",#") != std::string_view::npos) return nullptr;
    // Framed by "," and "#", the key matches only the entry of exactly this name: "red" finds
    // neither "darkred" nor "orangered".
    std::string key = ",";
    key.append(name).append("#");
    std::size_t entry = namedColorTable.find(key);
    if (entry == std::string_view::npos) return nullptr;
    std::optional<uint32_t> value =
        UIColor_Expanded::detail::scanHexInt(namedColorTable.substr(entry + key.size()));
    return value ? UIColor_Expanded::colorWithRGBHex(*value) : nullptr;
}

namespace TestApi {

int searchCount() {
    return tableSearches.load();
}

}  // namespace TestApi

}  // namespace UIColor_Expanded_Support
