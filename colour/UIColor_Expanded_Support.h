#pragma once

// The UIColor_Expanded_Support category: looking a name up in the named-colour table.

#include <string_view>

#include "platform/uikit/UIColor.h"

namespace UIColor_Expanded_Support {

// The CSS colour of the exact lower-case `name`, or nil. Searches the table on every call;
// colorWithName is the cached way in.
UIColorRef searchForColorByName(std::string_view name);

}  // namespace UIColor_Expanded_Support

namespace UIColor_Expanded_Support::TestApi {

// How many times searchForColorByName has searched the table in this process.
int searchCount();

}  // namespace UIColor_Expanded_Support::TestApi
