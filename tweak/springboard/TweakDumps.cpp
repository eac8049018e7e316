// What the simulator may ask of a loaded tweak for its "dump" commands: the settings record the
// tweak holds, the session state by its names, and the role a view plays in it. Exported with C
// names so that a host finds them with dlsym.

#include "platform/quartz/CAFilter.h"
#include "platform/uikit/UIView.h"
#include "tweak/session/CVAwayController.h"
#include "tweak/session/CVSessionState.h"
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
    json["transparentOverlayView"] = viewJson(s.transparentOverlayView.get());
    json["badgeView"] = viewJson(s.badgeView.get());
    json["vaultView"] = viewJson(s.vaultView.get());
    json["curlFilter"] = curlJson(s.curlFilter.get());
    json["fingerDelta"] = s.fingerDelta;
    json["pinchRecognizer"] = s.pinchRecognizer != nullptr;
    json["rotateRecognizer"] = s.rotateRecognizer != nullptr;
    json["rotateVaultRecognizer"] = s.rotateVaultRecognizer != nullptr;
    json["devicePassworded"] = s.devicePassworded;
    json["isUnlocking"] = s.isUnlocking;
    json["aUnlock"] = s.aUnlock;
    json["$SBAwayController"] = s.SBAwayController ? Json(class_getName(s.SBAwayController)) : Json(nullptr);
    json["startPosition"] = point(c.startPosition);
    json["currentPosition"] = point(c.currentPosition);
    json["previousPosition"] = point(c.previousPosition);
    json["velocity"] = point(c.velocity);
    json["lastPos"] = point(c.lastPos);
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
    if (view == s.transparentOverlayView.get()) return "overlay";
    if (view == s.badgeView.get()) return "badge";
    if (view == s.vaultView.get()) return "vault";
    return "";
}
