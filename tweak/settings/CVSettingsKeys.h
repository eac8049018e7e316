#pragma once

// What every key of the settings file takes: a boolean, one of a list of choices, a number within
// a range, or a colour string. The tweak reads any value with its own tolerance (CVSettings);
// this is what a person setting a value by hand is held to.

#include <cstdint>
#include <limits>
#include <string_view>
#include <utility>
#include <vector>

enum class CVSettingsKeyKind { Boolean, Choice, Number, ColourString };

struct CVSettingsKey {
    std::string_view key;
    CVSettingsKeyKind kind;
    // A choice's values with their names ("0 drag"), in order.
    std::vector<std::pair<std::int32_t, std::string_view>> choices = {};
    // A number's range, both ends included.
    double least = 0, most = std::numeric_limits<double>::infinity();
};

// Every key the tweak reads, in the order of the settings' table.
const std::vector<CVSettingsKey>& CVSettingsKeys();

// The key named `key`; nil for one the tweak does not read.
const CVSettingsKey* CVSettingsKeyNamed(std::string_view key);
