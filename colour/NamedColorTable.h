#pragma once

// The named-colour table searched by UIColor_Expanded_Support::searchForColorByName.

#include <cstddef>
#include <string_view>

namespace UIColor_Expanded_Support {

// The 147 extended colour keywords of CSS Color Level 3, gray and grey spellings both, in
// alphabetical order, each written ",name#rrggbb" in lower case. Framing each name with a comma
// and "#" lets a plain substring search find exactly one entry.
extern const std::string_view namedColorTable;

// The length of namedColorTable.
inline constexpr std::size_t kNamedColorTableLength = 2485;

}  // namespace UIColor_Expanded_Support
