// Feeds arbitrary bytes to the colour-name look-up behind colorWithName. Beyond not crashing, a
// name is found only when it is one of the table's own names, exactly (lower-case letters,
// nothing around them), and colorWithName answers one object for it, of the colour the table
// gives.

#include "colour/NamedColorTable.h"
#include "colour/UIColor_Expanded.h"
#include "colour/UIColor_Expanded_Support.h"

#include <cstdlib>
#include <string>
#include <string_view>

namespace {

// Whether `name` is the name of a table entry: lower-case letters, framed by "," and "#" there.
bool isTableName(std::string_view name) {
    if (name.empty() || name.find_first_not_of("abcdefghijklmnopqrstuvwxyz") != name.npos) {
        return false;
    }
    const std::string framed = "," + std::string(name) + "#";
    return UIColor_Expanded_Support::namedColorTable.find(framed) != std::string_view::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view name(reinterpret_cast<const char*>(data), size);
    // The table is searched directly first: the name cache keeps every name it is asked for, by
    // design, so only names the table knows go on to colorWithName, and a long run stays small.
    const UIColorRef found = UIColor_Expanded_Support::searchForColorByName(name);
    if (!found) return 0;
    if (!isTableName(name)) std::abort();
    const UIColorRef cached = UIColor_Expanded::colorWithName(name);
    if (!cached || cached != UIColor_Expanded::colorWithName(name) ||
        UIColor_Expanded::rgbHex(cached) != UIColor_Expanded::rgbHex(found)) {
        std::abort();
    }
    return 0;
}
