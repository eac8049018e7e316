// Feeds arbitrary bytes to the specifier-list reader as a bundle's list: whatever the bytes, it
// answers a list of well-formed rows (or none) without crashing, and every choice row's values
// and titles pair up.

#include "platform/foundation/NSLog.h"
#include "platform/preferences/SpecifierListLoader.h"

#include <cstdlib>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool quiet = (setLogToStandardError(false), true);
    (void)quiet;
    const std::span<const char> bytes(reinterpret_cast<const char*>(data), size);
    for (const auto& row : PSSpecifiersFromBytes(bytes, nullptr)) {
        if (!row) std::abort();
        for (const auto& [value, title] : row->titleDictionary()) {
            if (row->titleOfValue(value) == nullptr) std::abort();
        }
    }
    return 0;
}
