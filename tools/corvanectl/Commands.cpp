#include "tools/corvanectl/Commands.h"

#include "colour/UIColor_Expanded.h"
#include "platform/foundation/DeviceRoot.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/NotifyTransport.h"
#include "platform/foundation/PreferencesFile.h"
#include "common/tooling/ColourJson.h"
#include "common/tooling/PrefsEditing.h"
#include "tweak/settings/SettingsJson.h"

#include <iostream>

namespace {

int fail(const std::string& message) {
    std::cerr << "corvanectl: " << message << '\n';
    return 2;
}

void postPrefsUpdated() {
    CFNotificationCenterPostNotification(CFNotificationCenterGetDarwinNotifyCenter(),
                                         kCVPrefsUpdatedNotification, nullptr, nullptr, true);
}

int printColour(const UIColorRef& colour, bool withHex = false) {
    auto json = colourJson(colour);
    if (withHex && colour && UIColor_Expanded::canProvideRGBComponents(colour)) {
        json["hex"] = UIColor_Expanded::hexStringFromColor(colour);
    }
    std::cout << json.dump() << '\n';
    return colour ? 0 : 1;
}

}  // namespace

int showPrefs() {
    // The tweak library's own loader reads the file, exactly as SpringBoard would.
    std::cout << settingsJson(CVSettings::sharedCVSettings()).dump() << '\n';
    const auto file = DeviceRoot::resolve(kCVSettingsFilePath);
    const auto read = readPropertyListFile(file);
    const bool missing = !read.value && read.error == PlistReadError::NotFound;
    const bool dictionary = read.value && read.value->as<PlistDictionary>();
    if (!missing && !dictionary) {
        std::cerr << "corvanectl: the settings file " << file.string()
                  << " is not a readable property-list dictionary; these are the defaults the "
                     "tweak uses instead (corvanectl prefs reset moves it aside)\n";
    }
    return 0;
}

int setPref(const std::string& key, const std::string& text, SetOptions options) {
    const auto kind = options.forceString ? PrefsValueKind::String : PrefsValueKind::Inferred;
    auto parsed = options.raw ? parsePrefsValue(text, kind) : checkedPrefsValue(key, text, kind);
    if (!parsed.value) return fail(parsed.error);
    const auto error = setPrefsValue(DeviceRoot::resolve(kCVSettingsFilePath), key, *parsed.value);
    if (!error.empty()) return fail(error);
    postPrefsUpdated();
    return 0;
}

int resetPrefs() {
    std::filesystem::path keptAs;
    const auto error = movePrefsFileAside(DeviceRoot::resolve(kCVSettingsFilePath), keptAs);
    if (!error.empty()) return fail(error);
    if (!keptAs.empty()) std::cout << "the old settings file is kept as " << keptAs.string() << '\n';
    postPrefsUpdated();
    return 0;
}

int deletePref(const std::string& key) {
    const auto error = deletePrefsValue(DeviceRoot::resolve(kCVSettingsFilePath), key);
    if (!error.empty()) return fail(error);
    postPrefsUpdated();
    return 0;
}

int postNotification(const std::string& name) {
    if (const auto problem = NotifyTransport::nameProblem(name)) return fail(*problem);
    CFNotificationCenterPostNotification(CFNotificationCenterGetDarwinNotifyCenter(), name,
                                         nullptr, nullptr, true);
    return 0;
}

int parseColour(const std::string& text) {
    return printColour(UIColor_Expanded::colorWithString(text));
}

int nameColour(const std::string& name) { return printColour(UIColor_Expanded::colorWithName(name)); }

int hexColour(const std::string& text) {
    return printColour(UIColor_Expanded::colorWithHexString(text), true);
}
