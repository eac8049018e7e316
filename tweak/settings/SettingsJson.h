#pragma once

#include "tweak/settings/CVSettings.h"

#include <nlohmann/json.hpp>

// The settings record as one JSON object, keys in the record's order; badgeColor is the colour
// string of the held colour, or null.
nlohmann::ordered_json settingsJson(const CVSettings& settings);
