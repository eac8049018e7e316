// What the simulator may ask of a loaded tweak for its "dump" commands: the settings record the
// tweak holds, the session state by its names, and the role a view plays in it. Exported with C
// names so that a host finds them with dlsym.

#include "platform/quartz/CAFilter.h"
#include "platform/uikit/UIView.h"
#include "tweak/session/CVAwayController.h"
#include "tweak/session/CVSessionState.h"
#include "tweak/session/OverlayMode.h"
#include "tweak/session/PeelMode.h"
#include "tweak/session/PinchMode.h"
#include "tweak/session/PullBadgeMode.h"
#include "tweak/session/RotateMode.h"
#include "tweak/session/VaultMode.h"
#include "tweak/settings/JsonNumbers.h"
#include "tweak/settings/SettingsJson.h"

#include <nlohmann/json.hpp>

#include <string>

namespace {

using Json = nlohmann::ordered_json;

Json point(CGPoint p) { return {p.x, p.y}; }

// A view as its frame, or null for none.
Json viewJson(const UIView* view) {
    if (!view) return nullptr;
    const CGRect f = view->frame();
    return {{"frame", {f.origin.x, f.origin.y, f.size.width, f.size.height}},
            {"alpha", view->alpha()},
            {"hidden", view->isHidden()}};
}

// The page curl as its two inputs, or null for none.
Json curlJson(const CAFilter* curl) {
    if (!curl) return nullptr;
    return {{"inputTime", jsonFloat(CAValueFloatValue(curl->valueForKey("inputTime")))},
            {"inputAngle", jsonFloat(CAValueFloatValue(curl->valueForKey("inputAngle")))}};
}

Json sessionJson() {
    const auto& s = CVSession();
    const auto& c = CVAwayController::sharedCVAwayController();
    Json json;
    json["firstUnlock"] = s.firstUnlock;
    json["lastViewImage"] = s.lastViewImage
                                ? Json{s.lastViewImage->size().width, s.lastViewImage->size().height}
                                : Json(nullptr);
    json["lastView"] = viewJson(s.lastView.get());
    // The session's globals of the design, in its order, wherever they live now: the ones that
    // belong to one gesture are held by its mode.
    const auto& peel = CVPeelMode::shared();
    json["transparentOverlayView"] = viewJson(CVOverlayMode::shared().transparentOverlayView());
    json["badgeView"] = viewJson(CVPullBadgeMode::shared().badgeView());
    json["vaultView"] = viewJson(CVVaultMode::shared().vaultView());
    json["curlFilter"] = curlJson(peel.curlFilter());
    json["fingerDelta"] = peel.fingerDelta();
    json["pinchRecognizer"] = CVPinchMode::shared().hasRecognizer();
    json["rotateRecognizer"] = CVRotateMode::shared().hasRecognizer();
    json["rotateVaultRecognizer"] = CVVaultMode::shared().hasRecognizer();
    json["devicePassworded"] = s.devicePassworded;
    json["isUnlocking"] = s.isUnlocking;
    json["aUnlock"] = s.aUnlock;
    json["$SBAwayController"] = s.SBAwayController ? Json(class_getName(s.SBAwayController)) : Json(nullptr);
    json["startPosition"] = point(c.startPosition);
    json["currentPosition"] = point(c.currentPosition);
    json["previousPosition"] = point(c.previousPosition);
    json["velocity"] = point(c.velocity);
    json["lastPos"] = point(peel.lastPos());
    json["touchView"] = viewJson(c.touchView.get());
    json["view"] = viewJson(c.view().get());
    return json;
}

}  // namespace

// The settings record the tweak holds, as one JSON object (the keys of "corvanectl prefs show");
// valid until the next call. A file changed without the change notification does not show here.
extern "C" [[gnu::visibility("default")]] const char* CorvaneDumpSettings() {
    static std::string text;
    text = settingsJson(CVSettings::sharedCVSettings()).dump();
    return text.c_str();
}

// The session state as one JSON object; valid until the next call.
extern "C" [[gnu::visibility("default")]] const char* CorvaneDumpSession() {
    static std::string text;
    text = sessionJson().dump();
    return text.c_str();
}

// The role `view` plays in the session ("snapshot", "lastView", "touchView", "overlay", "badge",
// "vault"), or "" for none.
extern "C" [[gnu::visibility("default")]] const char* CorvaneViewRole(const void* view) {
    const auto& s = CVSession();
    const auto& c = CVAwayController::sharedCVAwayController();
    if (!view) return "";
    if (view == c.view().get()) return "snapshot";
    if (view == s.lastView.get()) return "lastView";
    if (view == c.touchView.get()) return "touchView";
    if (view == CVOverlayMode::shared().transparentOverlayView()) return "overlay";
    if (view == CVPullBadgeMode::shared().badgeView()) return "badge";
    if (view == CVVaultMode::shared().vaultView()) return "vault";
    return "";
}
