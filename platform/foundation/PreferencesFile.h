#pragma once

// A preferences file edited one key at a time, as the settings panel's rows, `corvanectl prefs`
// and the simulator's `prefs` commands do. Every change is a transaction: the writer takes the
// file's lock (".NAME.lock" beside it, opened without following links), reads the file, changes
// it and replaces it atomically, and only then lets the lock go, so two writers at once never
// lose each other's values. Readers take no lock: the replace is atomic, so they see the old file
// or the new one. Under the device root a write never goes through a link out of it.

#include "platform/foundation/PropertyList.h"

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>

// The outcome of an edit: empty on success, else a one-line reason. A failed edit leaves the
// file as it was.
using PrefsEditError = std::string;

// The lock file of the preferences file at `path`: ".NAME.lock" in the same folder.
std::filesystem::path prefsLockFileOf(const std::filesystem::path& path);

// How long a writer waits for the lock past the last change another writer finished: a holder
// that has finished none for so long has stopped (or is stopped), and waiting on would only hang
// the user's command; writers that keep finishing changes are waited for, however many.
constexpr std::chrono::milliseconds kPrefsLockPatience{10000};

// Runs `step` while this process holds the lock of the preferences file at `path`, and answers
// what it answers. When the lock cannot be had (its folder lies behind a link, the lock file is a
// link or not a plain file, no writer has finished a change for `patience` while another held
// it) `step` does not run and the answer says why.
PrefsEditError withPrefsLock(const std::filesystem::path& path,
                             const std::function<PrefsEditError()>& step,
                             std::chrono::milliseconds patience = kPrefsLockPatience);

// Whether an edit wants its dictionary written back.
enum class PrefsEdit { Write, Keep };

// One transaction: reads the dictionary file at `path` (a missing file reads as empty), lets
// `change` change it and, when it answers Write, replaces the file with it. A file that is not a
// property-list dictionary is neither given to `change` nor overwritten.
PrefsEditError editPrefsDictionary(const std::filesystem::path& path,
                                   const std::function<PrefsEdit(PlistDictionary&)>& change);

// Stores `value` under `key` in the dictionary file at `path` (host path), in one transaction.
PrefsEditError setPrefsValue(const std::filesystem::path& path, const std::string& key,
                             PlistValue value);

// Removes `key` from the dictionary file. A missing file or key is no error.
PrefsEditError deletePrefsValue(const std::filesystem::path& path, const std::string& key);

// Writes `dictionary` as the whole file at `path`, under the lock; refused (the file left as it
// is) when the path lies under the device root but a folder on the way there is a link or a file.
PrefsEditError writePrefsDictionary(const std::filesystem::path& path, PlistDictionary dictionary);

// Replaces the file at `path` with the bytes of the regular file `source`, as they are (they need
// not be a property list, so that what readers make of broken files can be tried), under the
// lock. A source that is not a regular file, or holds more than kMaxCopiedPrefsBytes, is refused.
inline constexpr std::uintmax_t kMaxCopiedPrefsBytes = 64u << 20;
PrefsEditError copyPrefsFile(const std::filesystem::path& source,
                             const std::filesystem::path& path);

// Removes the file at `path`, under the lock; a missing file is no error.
PrefsEditError removePrefsFile(const std::filesystem::path& path);

// Moves the file at `path` aside, under the lock, to the first free name "NAME.old",
// "NAME.old2", ... beside it, which goes into `keptAs`; never over a file already there. A
// missing file is no error (and `keptAs` is left empty).
PrefsEditError movePrefsFileAside(const std::filesystem::path& path, std::filesystem::path& keptAs);
