#include "tools/common/SettingsJson.h"

#include "colour/UIColor_Expanded.h"
#include "tools/common/JsonNumbers.h"

nlohmann::ordered_json settingsJson(const CVSettings& s) {
    nlohmann::ordered_json json;
    json["enabled"] = s.enabled();
    json["hideLockClock"] = s.hideLockClock();
    json["showStatusBarClock"] = s.showStatusBarClock();
    json["hideUnlockSlider"] = s.hideUnlockSlider();
    json["playUnlockSound"] = s.playUnlockSound();
    json["unlockType"] = s.unlockType();
    json["unlockDirection"] = s.unlockDirection();
    json["unlockAnimation"] = s.unlockAnimation();
    json["releaseAnimation"] = s.releaseAnimation();
    json["pageTurnDirection"] = s.pageTurnDirection();
    json["pullDirection"] = s.pullDirection();
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
