#pragma once

// A preferences file edited one key at a time, as the settings panel's rows, `corvanectl prefs`
// and the simulator's `prefs` commands do: read whole, changed, written back atomically. Under
// the device root a write never goes through a link out of it.

#include "platform/foundation/PropertyList.h"

#include <filesystem>
#include <string>

// The outcome of an edit: empty on success, else a one-line reason. A failed edit leaves the
// file as it was.
using PrefsEditError = std::string;

// Stores `value` under `key` in the dictionary file at `path` (host path), atomically. A missing
// file starts empty; a file that is not a property-list dictionary is not overwritten.
PrefsEditError setPrefsValue(const std::filesystem::path& path, const std::string& key,
                             PlistValue value);

// Removes `key` from the dictionary file. A missing file or key is no error.
PrefsEditError deletePrefsValue(const std::filesystem::path& path, const std::string& key);

// Writes `dictionary` as the whole file at `path`, atomically; refused (the file left as it is)
// when the path lies under the device root but a folder on the way there is a link or a file.
PrefsEditError writePrefsDictionary(const std::filesystem::path& path, PlistDictionary dictionary);
