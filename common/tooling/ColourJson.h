#pragma once

#include "platform/uikit/UIColor.h"

#include <nlohmann/json.hpp>

// A colour as {"model": "rgb" | "monochrome", "components": [...], "string": colour string};
// null for no colour. A colour of another model gives its model number and no string.
nlohmann::ordered_json colourJson(const UIColorRef& colour);
