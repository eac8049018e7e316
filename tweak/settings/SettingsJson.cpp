#include "tweak/settings/SettingsJson.h"

#include "colour/UIColor_Expanded.h"
#include "tweak/settings/JsonNumbers.h"

nlohmann::ordered_json settingsJson(const CVSettings& s) {
    nlohmann::ordered_json json;
    json["enabled"] = s.enabled();
    json["hideLockClock"] = s.hideLockClock();
    json["showStatusBarClock"] = s.showStatusBarClock();
    json["hideUnlockSlider"] = s.hideUnlockSlider();
    json["playUnlockSound"] = s.playUnlockSound();
    json["unlockType"] = static_cast<int>(s.unlockType());
    json["unlockDirection"] = static_cast<int>(s.unlockDirection());
    json["unlockAnimation"] = static_cast<int>(s.unlockAnimation());
    json["releaseAnimation"] = static_cast<int>(s.releaseAnimation());
    json["pageTurnDirection"] = static_cast<int>(s.pageTurnDirection());
    json["pullDirection"] = static_cast<int>(s.pullDirection());
    json["badgeDesign"] = s.badgeDesign();
    json["dragDistance"] = jsonDouble(s.dragDistance());
    json["turnDistance"] = jsonDouble(s.turnDistance());
    json["overlayTransparency"] = jsonDouble(s.overlayTransparency());
    const auto colour = s.badgeColor();
    const auto text = UIColor_Expanded::canProvideRGBComponents(colour)
                          ? UIColor_Expanded::stringFromColor(colour)
                          : std::nullopt;
    json["badgeColor"] = text ? nlohmann::ordered_json(*text) : nullptr;
    return json;
}
