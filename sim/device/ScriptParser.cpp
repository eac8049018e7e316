#include "sim/device/ScriptParser.h"

namespace {

// The simulator's language.
const ScriptLanguage<ScriptVerb>& language() {
    using enum ScriptArg;
    using V = ScriptVerb;
    static const ScriptLanguage<ScriptVerb> table({
        {V::Device, {"device", {Word}}},
        {V::Screen, {"screen", {Number, Number, OptionalNumber}}},
        {V::Orientation, {"orientation", {Number}}},
        {V::PasscodeOn, {"passcode on", {}}},
        {V::PasscodeOff, {"passcode off", {}}},
        {V::PasscodeEnter, {"passcode enter", {}}},
        {V::PasscodeCancel, {"passcode cancel", {}}},
        {V::FrontApp, {"front-app", {Word}}},
        {V::SpringBoardWithout, {"springboard without", {Word}}},
        {V::PrefsSet, {"prefs set", {Word, Rest}}},
        {V::PrefsDelete, {"prefs delete", {Word}}},
        {V::PrefsClear, {"prefs clear", {}}},
        {V::PrefsFile, {"prefs file", {Rest}}},
        {V::Notify, {"notify", {Word}}},
        {V::Boot, {"boot", {}}},
        {V::Lock, {"lock", {}}},
        {V::AutoLock, {"autolock", {}}},
        {V::Wake, {"wake", {}}},
        {V::Dim, {"dim", {}}},
        {V::Alert, {"alert", {}}},
        {V::PluginFullscreen, {"plugin-fullscreen", {}}},
        {V::CameraOn, {"camera on", {}}},
        {V::CameraOff, {"camera off", {}}},
        {V::MediaOn, {"media on", {}}},
        {V::MediaOff, {"media off", {}}},
        {V::SyncOn, {"sync on", {}}},
        {V::SyncOff, {"sync off", {}}},
        {V::Key, {"key", {Word}}},
        {V::Down, {"down", {Number, Number, OptionalNumber, OptionalNumber}}},
        {V::Move, {"move", {Number, Number, OptionalNumber, OptionalNumber}}},
        {V::Up, {"up", {}}},
        {V::Cancel, {"cancel", {}}},
        {V::Wait, {"wait", {Number}}},
        {V::DumpSettings, {"dump settings", {}}},
        {V::DumpViews, {"dump views", {}}},
        {V::DumpSession, {"dump session", {}}},
        {V::Snap, {"snap", {Word}}},
        {V::RecordStart, {"record start", {}}},
    });
    return table;
}

}  // namespace

const char* scriptVerbName(ScriptVerb verb) { return language().nameOf(verb); }

ParsedLine parseScriptLine(std::string_view line, int number) {
    auto parsed = language().parse(line, number);
    if (auto* error = std::get_if<ScriptError>(&parsed)) return {std::nullopt, std::move(*error)};
    auto* command = std::get_if<std::pair<ScriptVerb, ScriptMatch>>(&parsed);
    if (!command) return {};
    auto& [verb, match] = *command;
    return {ScriptCommand{verb, std::move(match.words), std::move(match.numbers), number},
            std::nullopt};
}
