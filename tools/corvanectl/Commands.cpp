#include "tools/corvanectl/Commands.h"

#include "colour/UIColor_Expanded.h"
#include "platform/foundation/DeviceRoot.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/NotifyTransport.h"
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
    return 0;
}

int setPref(const std::string& key, const std::string& text, bool forceString) {
    auto parsed = parsePrefsValue(text, forceString ? PrefsValueKind::String : PrefsValueKind::Inferred);
    if (!parsed.value) return fail(parsed.error);
    const auto error = setPrefsValue(DeviceRoot::resolve(kCVSettingsFilePath), key, *parsed.value);
    if (!error.empty()) return fail(error);
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
