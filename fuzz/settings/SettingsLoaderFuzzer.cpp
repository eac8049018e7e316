// Feeds arbitrary bytes to the settings loader as the settings file's contents: whatever the
// bytes, the load ends with a record whose numbers are all finite.

#include "platform/foundation/NSLog.h"
#include "platform/foundation/PropertyList.h"
#include "tweak/settings/CVSettings.h"

#include <cmath>
#include <cstdlib>
#include <optional>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static CVSettings& settings = [] () -> CVSettings& {
        setLogToStandardError(false);
        return CVSettings::sharedCVSettings();
    }();
    const std::span<const char> bytes(reinterpret_cast<const char*>(data), size);
    const auto value = propertyListFromBytes(bytes);
    std::optional<PlistDictionary> file;
    if (value && value->as<PlistDictionary>()) file = *value->as<PlistDictionary>();
    settings.loadSettings(file);
    if (!std::isfinite(settings.dragDistance()) || !std::isfinite(settings.turnDistance()) ||
        !std::isfinite(settings.overlayTransparency())) {
        std::abort();
    }
    return 0;
}
