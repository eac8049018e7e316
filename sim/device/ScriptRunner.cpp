#include "sim/device/ScriptRunner.h"

#include "platform/foundation/DeviceRoot.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/RunLoop.h"
#include "tools/common/PrefsEditing.h"
#include "tools/common/SettingsJson.h"
#include "tweak/settings/CVSettings.h"

#include <exception>
#include <set>

namespace {

// Commands that set up the device; they belong before "boot".
const std::set<std::string, std::less<>> kBeforeBoot = {"device", "screen", "springboard without"};

const std::set<std::string, std::less<>> kModels = {"iPhone", "iPad", "iPod touch"};

std::filesystem::path settingsFile() { return DeviceRoot::resolve(kCVSettingsFilePath); }

}  // namespace

ScriptRunner::ScriptRunner(Trace& trace, SpringBoardHost& host, std::filesystem::path scriptFolder,
                           std::optional<std::filesystem::path> recordFolder)
    : trace_(trace),
      host_(host),
      scriptFolder_(std::move(scriptFolder)),
      recordFolder_(std::move(recordFolder)) {}

int ScriptRunner::run(std::string_view script) {
    int number = 0;
    while (!script.empty()) {
        const std::size_t end = script.find('\n');
        const std::string_view line = script.substr(0, end);
        script = end == std::string_view::npos ? std::string_view{} : script.substr(end + 1);
        ++number;
        const auto parsed = parseScriptLine(line, number);
        std::string error = parsed.error ? parsed.error->text : "";
        try {
            if (parsed.command) error = execute(*parsed.command);
        } catch (const std::exception& failure) {
            // What SpringBoard or a loaded module raised ends the run like a bad line does.
            error = std::string("the command failed: ") + failure.what();
        }
        if (!error.empty()) {
            trace_.emit("error", {{"line", number}, {"text", error}});
            return 2;
        }
    }
    return 0;
}

std::string ScriptRunner::execute(const ScriptCommand& command) {
    const std::string& verb = command.verb;
    if (booted_ && kBeforeBoot.contains(verb)) return verb + " must come before boot";
    if (kBeforeBoot.contains(verb) || verb == "orientation" || verb == "front-app" ||
        verb == "passcode on" || verb == "passcode off") {
        return configure(command);
    }
    if (verb.starts_with("prefs ")) return editPrefs(command);
    if (verb.starts_with("dump ")) return dump(command);
    if (verb == "snap") return snap(command);
    if (verb == "wait") return wait(command);
    if (verb == "notify") {
        CFNotificationCenterPostNotification(CFNotificationCenterGetDarwinNotifyCenter(),
                                             command.arguments[0], nullptr, nullptr, true);
        RunLoop::main().runPending();
        return {};
    }
    if (verb == "boot") {
        if (booted_) return "the device has already booted";
        booted_ = true;
        trace_.markBoot();
        host_.boot(config_, trace_);
        return {};
    }
    if (!booted_) return verb + " needs a booted device (boot first)";
    std::vector<double> numbers;
    for (std::size_t i = 0; i < command.arguments.size(); ++i) numbers.push_back(command.number(i));
    return host_.perform(verb, numbers);
}

std::string ScriptRunner::configure(const ScriptCommand& command) {
    const std::string& verb = command.verb;
    if (verb == "device") {
        if (!kModels.contains(command.arguments[0])) {
            return "unknown device: " + command.arguments[0] + " (iPhone, iPad or \"iPod touch\")";
        }
        config_.model = command.arguments[0];
    } else if (verb == "screen") {
        const double w = command.number(0), h = command.number(1);
        const double scale = command.arguments.size() > 2 ? command.number(2) : 1;
        if (w < 1 || h < 1 || w > 4096 || h > 4096 || scale < 1 || scale > 4) {
            return "screen takes a width and height of 1 to 4096 points and a scale of 1 to 4";
        }
        config_.screenWidth = static_cast<float>(w);
        config_.screenHeight = static_cast<float>(h);
        config_.screenScale = static_cast<float>(scale);
    } else if (verb == "orientation") {
        const double o = command.number(0);
        if (o != 1 && o != 2 && o != 3 && o != 4) return "orientation takes 1, 2, 3 or 4";
        config_.orientation = static_cast<int>(o);
        if (booted_) return host_.perform(verb, {o});
    } else if (verb == "passcode on" || verb == "passcode off") {
        config_.passcode = verb == "passcode on";
        if (booted_) return host_.perform(verb, {});
    } else if (verb == "front-app") {
        config_.frontApp = command.arguments[0] == "none" ? "" : command.arguments[0];
        if (booted_) return host_.perform(verb, {});
    } else if (verb == "springboard without") {
        config_.withoutSelectors.insert(command.arguments[0]);
    }
    return {};
}

std::string ScriptRunner::editPrefs(const ScriptCommand& command) {
    const std::string& verb = command.verb;
    if (verb == "prefs set") {
        auto parsed = parsePrefsValue(command.arguments[1], PrefsValueKind::Inferred);
        if (!parsed.value) return parsed.error;
        return setPrefsValue(settingsFile(), command.arguments[0], std::move(*parsed.value));
    }
    if (verb == "prefs delete") return deletePrefsValue(settingsFile(), command.arguments[0]);
    if (verb == "prefs clear") {
        std::error_code ec;
        std::filesystem::remove(settingsFile(), ec);
        return ec ? "cannot remove the settings file: " + ec.message() : "";
    }
    // prefs file PATH: the file is copied as it is, even when it is not a property list, so
    // that scripts can try what the tweak makes of broken files.
    const auto source = scriptFolder_ / command.arguments[0];
    std::error_code ec;
    std::filesystem::create_directories(settingsFile().parent_path(), ec);
    std::filesystem::copy_file(source, settingsFile(),
                               std::filesystem::copy_options::overwrite_existing, ec);
    return ec ? "cannot copy " + source.string() + ": " + ec.message() : "";
}

std::string ScriptRunner::dump(const ScriptCommand& command) {
    if (command.verb == "dump settings") {
        // This process's own record of the settings, loaded from the file as the tweak does.
        auto& settings = CVSettings::sharedCVSettings();
        trace_.emit("dump", {{"what", "settings"}, {"settings", settingsJson(settings)}});
        return {};
    }
    if (!booted_) return command.verb + " needs a booted device (boot first)";
    if (command.verb == "dump views") {
        trace_.emit("dump", {{"what", "views"}, {"windows", host_.dumpViews()}});
    } else {
        trace_.emit("dump", {{"what", "session"}, {"session", host_.dumpSession()}});
    }
    return {};
}

std::string ScriptRunner::snap(const ScriptCommand& command) {
    if (!recordFolder_) return {};  // pictures are written only with --record
    if (!booted_) return "snap needs a booted device (boot first)";
    const std::string& name = command.arguments[0];
    if (name.find('/') != std::string::npos || name == "." || name == "..") {
        return "a snap name is a file name without folders: " + name;
    }
    std::error_code ec;
    std::filesystem::create_directories(*recordFolder_, ec);
    if (!host_.snap(*recordFolder_ / (name + ".png"))) return "cannot write " + name + ".png";
    return {};
}

std::string ScriptRunner::wait(const ScriptCommand& command) {
    const double ms = command.number(0);
    if (ms < 0) return "wait takes a time of 0 or more milliseconds";
    auto& loop = RunLoop::main();
    loop.runUntil(loop.now() + clockTimeFromSeconds(ms / 1000.0));
    return {};
}
