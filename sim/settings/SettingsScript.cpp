#include "sim/settings/SettingsScript.h"

namespace {

const ScriptLanguage<SettingsVerb>& language() {
    using enum ScriptArg;
    using V = SettingsVerb;
    static const ScriptLanguage<SettingsVerb> table({
        {V::Device, {"device", {Word}}},
        {V::Open, {"open", {}}},
        {V::Rows, {"rows", {}}},
        {V::Set, {"set", {Word, Rest}}},
        {V::Tap, {"tap", {Word}}},
        {V::Slider, {"slider", {Word, Number}}},
        {V::MailSend, {"mail send", {}}},
        {V::MailCancel, {"mail cancel", {}}},
        {V::DumpChooser, {"dump chooser", {}}},
        {V::Snap, {"snap", {Word}}},
        {V::Wait, {"wait", {Number}}},
    });
    return table;
}

}  // namespace

const char* settingsVerbName(SettingsVerb verb) { return language().nameOf(verb); }

ParsedSettingsLine parseSettingsLine(std::string_view line, int number) {
    auto parsed = language().parse(line, number);
    if (auto* error = std::get_if<ScriptError>(&parsed)) return {std::nullopt, std::move(*error)};
    auto* command = std::get_if<std::pair<SettingsVerb, ScriptMatch>>(&parsed);
    if (!command) return {};
    auto& [verb, match] = *command;
    return {SettingsCommand{verb, std::move(match.words), std::move(match.numbers), number},
            std::nullopt};
}
