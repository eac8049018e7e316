#pragma once

// What `corvanectl prefs set` and the hosts' script commands make of a VALUE written on a command
// line; the file itself is edited by the platform's preferences writer.

#include "platform/foundation/PreferencesFile.h"
#include "platform/foundation/PropertyList.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

// How a command-line VALUE becomes a property-list value.
enum class PrefsValueKind {
    Inferred,  // true/false/YES/NO a boolean, an integer literal an integer, a decimal a real
    String,    // always a string
};

// The value VALUE stands for, or an error text when it cannot be stored (an integer literal
// beyond 64 bits, a real beyond the range of a double).
struct ParsedPrefsValue {
    std::optional<PlistValue> value;
    std::string error;
};
ParsedPrefsValue parsePrefsValue(std::string_view text, PrefsValueKind kind);

// The value VALUE stands for under `key`, held to what the key takes (CVSettingsKeys): a boolean
// (true, false, YES, NO, 1, 0), one of its choices (by number or by name, stored as the number),
// a number within its range (stored as a real), or a colour string that parses. With `kind`
// String the value is stored as text, once it reads as what the key takes. An unknown key, or a
// value of the wrong kind or outside the key's values, is an error naming what is allowed (and,
// for a key, the nearest known one).
ParsedPrefsValue checkedPrefsValue(std::string_view key, std::string_view text, PrefsValueKind kind);
