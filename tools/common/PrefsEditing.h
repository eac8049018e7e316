#pragma once

// Editing the settings file one key at a time, as `corvanectl prefs` and the simulator's
// `prefs` script commands do.

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

// The outcome of an edit: empty on success, else a one-line reason. A failed edit leaves the
// file as it was.
using PrefsEditError = std::string;

// Stores `value` under `key` in the settings file at `path` (host path), atomically. A missing
// file starts empty; a file that is not a property-list dictionary is not overwritten.
PrefsEditError setPrefsValue(const std::filesystem::path& path, const std::string& key,
                             PlistValue value);

// Removes `key` from the settings file. A missing file or key is no error.
PrefsEditError deletePrefsValue(const std::filesystem::path& path, const std::string& key);
