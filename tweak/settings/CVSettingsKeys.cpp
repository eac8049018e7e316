#include "tweak/settings/CVSettingsKeys.h"

namespace {

using Kind = CVSettingsKeyKind;

}  // namespace

const std::vector<CVSettingsKey>& CVSettingsKeys() {
    static const std::vector<CVSettingsKey> keys = {
        {"cvrEnabled", Kind::Boolean},
        {"cvrUnlockType", Kind::Choice,
         {{0, "drag"}, {1, "overlay"}, {2, "pinch"}, {3, "peel"}, {4, "pull badge"},
          {5, "rotate"}, {6, "vault"}}},
        {"cvrUnlockDirection", Kind::Choice,
         {{0, "any"}, {1, "up"}, {2, "down"}, {3, "up or down"}, {4, "left"}, {5, "right"},
          {6, "left or right"}}},
        {"cvrUnlockAnimation", Kind::Choice,
         {{0, "fade out"}, {1, "slide out"}, {2, "slide and fade"}}},
        {"cvrReleaseAnimation", Kind::Choice, {{0, "slide back"}, {1, "elastic"}}},
        {"pageTurnDirection", Kind::Choice, {{0, "left"}, {1, "right"}, {2, "any"}}},
        {"cvrPullDirection", Kind::Choice, {{0, "up"}, {1, "right"}, {2, "left"}}},
        {"cvrBadgeDesign", Kind::Choice,
         {{0, "red"}, {1, "cloth"}, {2, "grey"}, {3, "custom"}, {4, "vellum"}}},
        {"cvrColor", Kind::ColourString},
        {"cvrDragDistance", Kind::Number, {}, 0},
        {"cvrTurnDistance", Kind::Number, {}, 0, 1},
        {"cvrOverlayTransparency", Kind::Number, {}, 0, 1},
        {"cvrUnlockSound", Kind::Boolean},
        {"cvrHideUnlockSlider", Kind::Boolean},
        {"cvrHideLockClock", Kind::Boolean},
        {"cvrShowStatusBarClock", Kind::Boolean},
    };
    return keys;
}

const CVSettingsKey* CVSettingsKeyNamed(std::string_view key) {
    for (const auto& k : CVSettingsKeys()) {
        if (k.key == key) return &k;
    }
    return nullptr;
}
