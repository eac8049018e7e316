#include "sim/device/ScriptRunner.h"

#include "common/tooling/PrefsEditing.h"
#include "platform/foundation/DeviceRoot.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/NotifyTransport.h"
#include "platform/foundation/RunLoop.h"
#include "sim/device/DevicePresets.h"
#include "tweak/settings/CVSettings.h"

#include <exception>
#include <set>
#include <sstream>

namespace {

const std::set<std::string, std::less<>> kModels = {"iPhone", "iPad", "iPod touch"};
constexpr double kMostScreenPixels = 4096.0 * 4096.0;

std::filesystem::path settingsFile() { return DeviceRoot::resolve(kCVSettingsFilePath); }

// An error text of the prefs editing functions as a result: an empty text is success.
ScriptResult resultOf(const ScriptCommand& command, std::string error) {
    if (error.empty()) return std::nullopt;
    return scriptFailure(command, std::move(error));
}

}  // namespace

ScriptRunner::ScriptRunner(Trace& trace, SpringBoardHost& host, std::filesystem::path scriptFolder,
                           std::optional<std::filesystem::path> recordFolder)
    : trace_(trace),
      host_(host),
      scriptFolder_(std::move(scriptFolder)),
      recordFolder_(std::move(recordFolder)) {}

int ScriptRunner::run(std::string_view script) {
    std::istringstream in{std::string(script)};
    return run(in);
}

int ScriptRunner::run(std::istream& in) {
    int status = 0;
    failure_.reset();
    forEachScriptLine(in, [&](std::string_view line, int number) {
        const ScriptResult error = runLine(line, number);
        if (error) trace_.emit("error", {{"line", error->line}, {"text", error->text}});
        if (error) failure_ = error;
        if (error || trace_.failed()) status = 2;
        // A trace nobody can read any more ends the run: the rest would go nowhere.
        return status == 0;
    });
    return status;
}

ScriptResult ScriptRunner::runLine(std::string_view line, int number) {
    const auto parsed = parseScriptLine(line, number);
    if (parsed.error) return parsed.error;
    if (!parsed.command) return std::nullopt;
    try {
        // What other processes have posted meanwhile is delivered before the command runs.
        if (booted_) RunLoop::main().runPending();
        return execute(*parsed.command);
    } catch (const std::exception& failure) {
        // What SpringBoard or a loaded module raised ends the run like a bad line does.
        return ScriptError{number, std::string("the command failed: ") + failure.what()};
    }
}

ScriptResult ScriptRunner::execute(const ScriptCommand& command) {
    using V = ScriptVerb;
    switch (command.verb) {
        case V::Device:
        case V::Screen:
        case V::SpringBoardWithout:
        case V::Orientation:
        case V::PasscodeOn:
        case V::PasscodeOff:
        case V::FrontApp:
            return configure(command);
        case V::PrefsSet:
        case V::PrefsDelete:
        case V::PrefsClear:
        case V::PrefsFile:
            return editPrefs(command);
        case V::Notify:
            return notify(command);
        case V::Boot:
            return boot(command);
        case V::Wait:
            return wait(command);
        case V::DumpSettings:
        case V::DumpViews:
        case V::DumpSession:
            return dump(command);
        case V::Snap:
            return snap(command);
        case V::RecordStart:
            return startRecording(command);
        case V::Down:
        case V::Move:
        case V::Up:
        case V::Cancel:
            return touch(command);
        default:
            if (auto error = requireBoot(command)) return error;
            return host_.perform(command);
    }
}

ScriptResult ScriptRunner::requireBoot(const ScriptCommand& command) const {
    if (booted_) return std::nullopt;
    return scriptFailure(command,
                         std::string(scriptVerbName(command.verb)) + " needs a booted device (boot first)");
}

ScriptResult ScriptRunner::configure(const ScriptCommand& command) {
    using V = ScriptVerb;
    const V verb = command.verb;
    if (booted_ && (verb == V::Device || verb == V::Screen || verb == V::SpringBoardWithout)) {
        return scriptFailure(command, std::string(scriptVerbName(verb)) + " must come before boot");
    }
    switch (verb) {
        case V::Device:
            // A model keeps the screen; a device of the window's brings its own.
            if (kModels.contains(command.words[0])) {
                config_.model = command.words[0];
            } else if (const auto preset = devicePreset(command.words[0])) {
                config_.model = preset->model;
                config_.screenWidth = preset->screenWidth;
                config_.screenHeight = preset->screenHeight;
                config_.screenScale = preset->screenScale;
            } else {
                return scriptFailure(command, "unknown device: " + command.words[0] +
                                                  " (iPhone, iPad, \"iPod touch\", or a device of "
                                                  "the window: iphone, iphone-375, iphone-430, ipad)");
            }
            return std::nullopt;
        case V::Screen: {
            const double w = command.numbers[0], h = command.numbers[1];
            const double scale = command.numbers.size() > 2 ? command.numbers[2] : 1;
            if (w < 1 || h < 1 || w > 4096 || h > 4096 || scale < 1 || scale > 4) {
                return scriptFailure(
                    command, "screen takes a width and height of 1 to 4096 points and a scale of 1 to 4");
            }
            // Every picture of the screen holds all its pixels: past 16 million of them one
            // script line could take gigabytes of memory.
            if (w * scale * h * scale > kMostScreenPixels) {
                return scriptFailure(command, "screen takes at most 4096 x 4096 pixels (points times scale)");
            }
            config_.screenWidth = static_cast<float>(w);
            config_.screenHeight = static_cast<float>(h);
            config_.screenScale = static_cast<float>(scale);
            return std::nullopt;
        }
        case V::SpringBoardWithout:
            config_.withoutSelectors.insert(command.words[0]);
            return std::nullopt;
        case V::Orientation: {
            const double o = command.numbers[0];
            if (o != 1 && o != 2 && o != 3 && o != 4) {
                return scriptFailure(command, "orientation takes 1, 2, 3 or 4");
            }
            config_.orientation = static_cast<UIInterfaceOrientation>(o);
            break;
        }
        case V::PasscodeOn:
        case V::PasscodeOff:
            config_.passcode = verb == V::PasscodeOn;
            break;
        case V::FrontApp:
            config_.frontApp = command.words[0] == "none" ? "" : command.words[0];
            break;
        default:
            break;
    }
    // What may also change on a running device goes to SpringBoard too.
    return booted_ ? host_.perform(command) : std::nullopt;
}

ScriptResult ScriptRunner::boot(const ScriptCommand& command) {
    if (booted_) return scriptFailure(command, "the device has already booted");
    booted_ = true;
    trace_.markBoot();
    host_.boot(config_, trace_);
    captureFrame(FrameCause::Clock);
    return std::nullopt;
}

ScriptResult ScriptRunner::touch(const ScriptCommand& command) {
    if (auto error = requireBoot(command)) return error;
    ScriptResult result = host_.perform(command);
    // A touch takes no time, so the regular frames of a recording would miss touches in a row.
    if (!result) captureFrame(FrameCause::Input);
    return result;
}

ScriptResult ScriptRunner::editPrefs(const ScriptCommand& command) {
    switch (command.verb) {
        case ScriptVerb::PrefsSet: {
            auto parsed = parsePrefsValue(command.words[1], PrefsValueKind::Inferred);
            if (!parsed.value) return scriptFailure(command, parsed.error);
            return resultOf(command,
                            setPrefsValue(settingsFile(), command.words[0], std::move(*parsed.value)));
        }
        case ScriptVerb::PrefsDelete:
            return resultOf(command, deletePrefsValue(settingsFile(), command.words[0]));
        case ScriptVerb::PrefsClear:
            return resultOf(command, removePrefsFile(settingsFile()));
        default:
            break;
    }
    // prefs file PATH: the file is copied as it is, even when it is not a property list, so
    // that scripts can try what the tweak makes of broken files.
    return resultOf(command, copyPrefsFile(scriptFolder_ / command.words[0], settingsFile()));
}

ScriptResult ScriptRunner::notify(const ScriptCommand& command) {
    // What the transport cannot carry is refused, not posted to this process alone.
    if (const auto problem = NotifyTransport::nameProblem(command.words[0])) {
        return scriptFailure(command, *problem);
    }
    CFNotificationCenterPostNotification(CFNotificationCenterGetDarwinNotifyCenter(),
                                         command.words[0], nullptr, nullptr, true);
    RunLoop::main().runPending();
    return std::nullopt;
}

ScriptResult ScriptRunner::dump(const ScriptCommand& command) {
    if (auto error = requireBoot(command)) return error;
    switch (command.verb) {
        case ScriptVerb::DumpSettings:
            trace_.emit("dump", {{"what", "settings"}, {"settings", host_.dumpSettings()}});
            break;
        case ScriptVerb::DumpViews:
            trace_.emit("dump", {{"what", "views"}, {"windows", host_.dumpViews()}});
            break;
        default:
            trace_.emit("dump", {{"what", "session"}, {"session", host_.dumpSession()}});
            break;
    }
    return std::nullopt;
}

ScriptResult ScriptRunner::snap(const ScriptCommand& command) {
    if (!recordFolder_) return std::nullopt;  // pictures are written only with --record
    if (auto error = requireBoot(command)) return error;
    const std::string& name = command.words[0];
    if (name.find('/') != std::string::npos || name == "." || name == "..") {
        return scriptFailure(command, "a snap name is a file name without folders: " + name);
    }
    std::error_code ec;
    std::filesystem::create_directories(*recordFolder_, ec);
    if (!host_.snap(*recordFolder_ / (name + ".png"))) {
        return scriptFailure(command, "cannot write " + name + ".png");
    }
    return std::nullopt;
}

ScriptResult ScriptRunner::startRecording(const ScriptCommand& command) {
    if (auto error = requireBoot(command)) return error;
    if (!recorder_) return std::nullopt;  // a recording is made only with --record-animation
    recorder_->restart();
    captureFrame(FrameCause::Clock);
    return std::nullopt;
}

ScriptResult ScriptRunner::wait(const ScriptCommand& command) {
    const double ms = command.numbers[0];
    if (ms < 0 || ms > kLongestScriptWaitMs) {
        return scriptFailure(command, "wait takes a time of 0 to 86400000 milliseconds (a day)");
    }
    advanceClockTo(RunLoop::main().now() + clockTimeFromSeconds(ms / 1000.0));
    return std::nullopt;
}

void ScriptRunner::advanceClockTo(ClockTime end) {
    auto& loop = RunLoop::main();
    if (recorder_ && booted_) {
        for (ClockTime frame = recorder_->nextFrameTime(); frame <= end;
             frame = recorder_->nextFrameTime()) {
            loop.runUntil(frame);
            captureFrame(FrameCause::Clock);
        }
    }
    loop.runUntil(end);
}

void ScriptRunner::captureFrame(FrameCause cause) {
    if (recorder_) recorder_->addFrame(host_.renderScreen(), RunLoop::main().now(), cause);
}
