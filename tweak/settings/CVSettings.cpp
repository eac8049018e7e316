#include "tweak/settings/CVSettings.h"

#include "colour/UIColor_Expanded.h"
#include "platform/foundation/DeviceRoot.h"
#include "platform/foundation/NSLog.h"
#include "platform/foundation/NumberValues.h"

#include <iterator>

namespace {

// How one key of the settings file is read into the record. A value of a kind that does not
// convert (an array where a number belongs, a real that is not finite) counts as absent.
using KeyReader = void (*)(CVSettings&, const PlistValue&);

template <void (CVSettings::*Set)(bool)>
void readBool(CVSettings& settings, const PlistValue& value) {
    if (const auto b = boolValue(value)) (settings.*Set)(*b);
}

// An enumerated option takes the stored integer as it is, listed value or not.
template <typename Enum, void (CVSettings::*Set)(Enum)>
void readEnum(CVSettings& settings, const PlistValue& value) {
    if (const auto i = intValue(value)) (settings.*Set)(static_cast<Enum>(*i));
}

template <void (CVSettings::*Set)(double)>
void readDouble(CVSettings& settings, const PlistValue& value) {
    if (const auto d = doubleValue(value)) (settings.*Set)(*d);
}

// The file stores the design as an integer; an unknown one leaves the design as it is.
void readBadgeDesign(CVSettings& settings, const PlistValue& value) {
    const auto index = intValue(value);
    if (!index) return;
    if (const auto name = CVBadgeDesignName(static_cast<CVBadgeDesign>(*index))) {
        settings.setBadgeDesign(std::string(*name));
    }
}

// The colour is a colour string; one that does not parse leaves no badge colour. The log line
// carries the stored text itself, not the colour read from it.
void readBadgeColor(CVSettings& settings, const PlistValue& value) {
    const auto* text = value.as<std::string>();
    if (!text) return;
    settings.setBadgeColor(UIColor_Expanded::colorWithString(*text));
    NSLog("badgeColor=" + *text);
}

struct KeyRow {
    const char* key;
    KeyReader read;
};

// The keys in the order a load consults them. Two keys are consulted twice; the second
// reading stores the same value again.
constexpr KeyRow kKeyOrder[] = {
    {"cvrUnlockSound", readBool<&CVSettings::setPlayUnlockSound>},
    {"cvrEnabled", readBool<&CVSettings::setEnabled>},
    {"cvrUnlockDirection", readEnum<CVUnlockDirection, &CVSettings::setUnlockDirection>},
    {"cvrDragDistance", readDouble<&CVSettings::setDragDistance>},
    {"cvrUnlockType", readEnum<CVUnlockType, &CVSettings::setUnlockType>},
    {"cvrUnlockDirection", readEnum<CVUnlockDirection, &CVSettings::setUnlockDirection>},
    {"cvrUnlockAnimation", readEnum<CVUnlockAnimation, &CVSettings::setUnlockAnimation>},
    {"pageTurnDirection", readEnum<CVPageTurnDirection, &CVSettings::setPageTurnDirection>},  // no prefix
    {"cvrPullDirection", readEnum<CVPullDirection, &CVSettings::setPullDirection>},
    {"cvrBadgeDesign", readBadgeDesign},
    {"cvrColor", readBadgeColor},
    {"cvrReleaseAnimation", readEnum<CVReleaseAnimation, &CVSettings::setReleaseAnimation>},
    {"cvrDragDistance", readDouble<&CVSettings::setDragDistance>},
    {"cvrTurnDistance", readDouble<&CVSettings::setTurnDistance>},
    {"cvrHideUnlockSlider", readBool<&CVSettings::setHideUnlockSlider>},
    {"cvrHideLockClock", readBool<&CVSettings::setHideLockClock>},
    {"cvrShowStatusBarClock", readBool<&CVSettings::setShowStatusBarClock>},
    {"cvrOverlayTransparency", readDouble<&CVSettings::setOverlayTransparency>},
};

}  // namespace

CVSettings& CVSettings::sharedCVSettings() {
    // A function-local static is made once, under a lock, however many threads ask at once.
    static CVSettings* shared = new CVSettings;
    return *shared;
}

CVSettings::CVSettings() {
    loadSettings();
    CFNotificationCenterAddObserver(CFNotificationCenterGetDarwinNotifyCenter(), nullptr,
                                    PreferencesChangedCallback, kCVPrefsUpdatedNotification,
                                    nullptr, CFNotificationSuspensionBehaviorHold);
}

void CVSettings::loadSettings() {
    loadSettings(readPropertyListDictionary(DeviceRoot::resolve(kCVSettingsFilePath)));
}

void CVSettings::loadSettings(const std::optional<PlistDictionary>& file) {
    resetDefaults();
    if (file) readKeys(*file);
}

// hideLockClock, showStatusBarClock, hideUnlockSlider and badgeColor are not reset: they keep
// what the previous load found until a file names them again.
void CVSettings::resetDefaults() {
    setEnabled(true);
    setUnlockType(CVUnlockType::Drag);
    setUnlockDirection(CVUnlockDirection::Any);
    setUnlockAnimation(CVUnlockAnimation::Fade);
    setReleaseAnimation(CVReleaseAnimation::SlideBack);
    setPageTurnDirection(CVPageTurnDirection::Left);
    setPullDirection(CVPullDirection::Left);
    setBadgeDesign("Red");
    setDragDistance(1.0);
    setTurnDistance(0.6);
    setOverlayTransparency(0.3);
    setPlayUnlockSound(false);
}

void CVSettings::readKeys(const PlistDictionary& file) {
    for (const auto& row : kKeyOrder) {
        const auto found = file.find(row.key);
        if (found != file.end()) row.read(*this, found->second);
    }
}

std::string CVSettings::badgeDesign() const {
    std::lock_guard lock(objectMutex_);
    return badgeDesign_;
}

void CVSettings::setBadgeDesign(std::string value) {
    std::lock_guard lock(objectMutex_);
    badgeDesign_ = std::move(value);
}

UIColorRef CVSettings::badgeColor() const {
    std::lock_guard lock(objectMutex_);
    return badgeColor_;
}

void CVSettings::setBadgeColor(UIColorRef value) {
    std::lock_guard lock(objectMutex_);
    badgeColor_ = std::move(value);
}

void PreferencesChangedCallback(CFNotificationCenterRef, void*, CFNotificationName, const void*,
                                CFDictionaryRef) {
    CVSettings::sharedCVSettings().loadSettings();
}
