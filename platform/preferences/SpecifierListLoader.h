#pragma once

// Reading a specifier property list: a dictionary whose "items" array holds one dictionary per
// row. Each row names its cell ("cell"), its title ("label"), where its value lives ("key",
// "defaults"), its "default", the choices of a list ("validValues" with "validTitles"), a
// slider's "min", "max" and "showValue", and the selectors of its target ("action", "set",
// "get"); any other entry is kept as a property of the row ("PostNotification", "footerText").

#include "platform/foundation/PropertyList.h"
#include "platform/preferences/PSSpecifier.h"

#include <filesystem>
#include <span>

// The rows of the list in `bytes` (XML or binary), with `target` as their target. What is not a
// list gives no rows; a row of the wrong shape is left out; each problem is logged once.
PSSpecifierList PSSpecifiersFromBytes(std::span<const char> bytes, id target);

// The same for the file at host path `path`; a missing, unreadable or oversized file gives no
// rows.
PSSpecifierList PSLoadSpecifierList(const std::filesystem::path& path, id target);
