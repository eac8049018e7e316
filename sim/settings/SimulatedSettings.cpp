#include "sim/settings/SimulatedSettings.h"

#include "panel/PanelMessages.h"
#include "platform/foundation/DeviceRoot.h"
#include "platform/foundation/NSLog.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/SystemCommand.h"
#include "platform/graphics/CGImage.h"
#include "platform/messageui/MFMailComposeViewController.h"
#include "platform/preferences/PSListController.h"
#include "platform/quartz/CARenderer.h"
#include "platform/substrate/SubstrateLoader.h"
#include "platform/uikit/UIApplication.h"
#include "platform/uikit/UIDevice.h"
#include "platform/uikit/UIGraphics.h"
#include "platform/uikit/UILabel.h"
#include "platform/uikit/UINavigationController.h"
#include "platform/uikit/UIScreen.h"
#include "platform/uikit/UISlider.h"
#include "platform/uikit/UIWindow.h"
#include "sim/device/ViewDump.h"
#include "common/tooling/PrefsEditing.h"

#include <dlfcn.h>

#include <exception>
#include <set>

namespace {

using Json = nlohmann::ordered_json;

constexpr const char* kBundleIdentifier = "com.apple.Preferences";
constexpr const char* kPanelBundle = "crvsettings";
const std::set<std::string, std::less<>> kModels = {"iPhone", "iPad", "iPod touch"};

// A stored value as JSON; null for none.
Json jsonOf(const std::optional<PlistValue>& value) {
    if (!value) return nullptr;
    if (const auto* b = value->as<bool>()) return *b;
    if (const auto* i = value->as<std::int64_t>()) return *i;
    if (const auto* d = value->as<double>()) return *d;
    if (const auto* s = value->as<std::string>()) return *s;
    return nullptr;  // a kind no row of a list stores
}

// The device path of a host path under the root, or the host path itself.
std::string devicePathOf(const std::filesystem::path& path) {
    const auto relative = std::filesystem::absolute(path).lexically_normal().lexically_relative(
        DeviceRoot::get());
    if (relative.empty() || *relative.begin() == "..") return path.string();
    return (std::filesystem::path("/") / relative).generic_string();
}

// The PreferenceLoader entry of the panel: its bundle, controller class and label.
struct PanelEntry {
    std::string bundle, detail, label;
};

std::optional<PanelEntry> findEntry() {
    std::error_code ec;
    const auto folder = DeviceRoot::resolve("/Library/PreferenceLoader/Preferences");
    for (const auto& file : std::filesystem::directory_iterator(folder, ec)) {
        const auto list = readPropertyListDictionary(file.path());
        const auto entry = list ? list->find("entry") : PlistDictionary::const_iterator{};
        const auto* fields = list && entry != list->end() ? entry->second.as<PlistDictionary>() : nullptr;
        if (!fields) continue;
        auto text = [&](const char* key) {
            const auto found = fields->find(key);
            const auto* value = found == fields->end() ? nullptr : found->second.as<std::string>();
            return value ? *value : std::string();
        };
        if (text("bundle") == kPanelBundle) return PanelEntry{text("bundle"), text("detail"), text("label")};
    }
    return std::nullopt;
}

UISlider* sliderTagged(UIView& chooser, int tag) {
    for (const auto& child : chooser.subviews()) {
        if (auto* slider = objc_cast<UISlider>(child.get()); slider && slider->tag() == tag) return slider;
    }
    return nullptr;
}

}  // namespace

SimulatedSettings::SimulatedSettings(Trace& trace, std::optional<std::filesystem::path> recordFolder)
    : trace_(trace), recordFolder_(std::move(recordFolder)) {
    traceHooks();
}

SimulatedSettings::~SimulatedSettings() {
    if (logSink_) removeLogSink(logSink_);
    setPropertyListWriteObserver(nullptr);
    setSystemCommandObserver(nullptr);
    UIApplication::sharedApplication()->setOpenURLObserver(nullptr);
    CFNotificationCenterSetPostTap(CFNotificationCenterGetDarwinNotifyCenter(), nullptr);
}

void SimulatedSettings::traceHooks() {
    logSink_ = addLogSink([this](std::string_view line) { trace_.emit("log", {{"text", line}}); });
    setPropertyListWriteObserver([this](const std::filesystem::path& path) {
        trace_.emit("file-write", {{"path", devicePathOf(path)}});
    });
    CFNotificationCenterSetPostTap(CFNotificationCenterGetDarwinNotifyCenter(), [this](std::string_view name) {
        trace_.emit("notification-posted", {{"name", name}});
    });
    UIApplication::sharedApplication()->setOpenURLObserver([this](const std::string& url) {
        trace_.emit("open-url", {{"url", url}});
        return true;
    });
    setSystemCommandObserver([this](std::string_view command, int status) {
        trace_.emit("system", {{"command", command}, {"status", status}});
        if (command == "killall SpringBoard" && status == 0) trace_.emit("respring");
    });
}

int SimulatedSettings::run(std::istream& in) {
    int status = 0;
    failure_.reset();
    forEachScriptLine(in, [&](std::string_view line, int number) {
        auto parsed = parseSettingsLine(line, number);
        ScriptResult error = parsed.error;
        try {
            if (parsed.command) error = perform(*parsed.command);
        } catch (const std::exception& failure) {
            error = ScriptError{number, std::string("the command failed: ") + failure.what()};
        }
        if (error) trace_.emit("error", {{"line", error->line}, {"text", error->text}});
        if (error) failure_ = error;
        if (error || trace_.failed()) status = 2;
        // A trace nobody can read any more ends the run: the rest would go nowhere.
        return status == 0;
    });
    return status;
}

void SimulatedSettings::setDevice(const std::string& model, CGSize screen, CGFloat scale) {
    model_ = model;
    screen_ = screen;
    screenScale_ = scale;
}

ScriptResult SimulatedSettings::perform(const SettingsCommand& command) {
    using V = SettingsVerb;
    auto failure = [&](std::string text) { return ScriptError{command.line, std::move(text)}; };
    if (command.verb == V::Device) {
        if (panel_) return failure("device must come before open");
        if (!kModels.contains(command.words[0])) {
            return failure("unknown device: " + command.words[0] + " (iPhone, iPad or \"iPod touch\")");
        }
        model_ = command.words[0];
        const bool pad = model_ == "iPad";
        screen_ = CGSizeMake(pad ? 768 : 320, pad ? 1024 : 480);
        return std::nullopt;
    }
    if (command.verb == V::Wait) {
        if (command.numbers[0] < 0 || command.numbers[0] > kLongestScriptWaitMs) {
            return failure("wait takes a time of 0 to 86400000 milliseconds (a day)");
        }
        auto& loop = RunLoop::main();
        loop.runUntil(loop.now() + clockTimeFromSeconds(command.numbers[0] / 1000.0));
        return std::nullopt;
    }
    if (command.verb == V::Open) return open(command);
    if (!panel_) return failure(std::string(settingsVerbName(command.verb)) + " needs the panel open (open first)");
    ScriptResult result;
    switch (command.verb) {
        case V::Rows: emitRows(); break;
        case V::Set: result = setValue(command); break;
        case V::Tap: result = tap(command); break;
        case V::Slider: result = moveSlider(command); break;
        case V::MailSend:
        case V::MailCancel: result = finishMail(command); break;
        case V::DumpChooser: result = dumpChooser(command); break;
        case V::Snap: result = snap(command); break;
        default: break;
    }
    RunLoop::main().runPending();
    return result;
}

ScriptResult SimulatedSettings::open(const SettingsCommand& command) {
    auto failure = [&](std::string text) { return ScriptError{command.line, std::move(text)}; };
    if (panel_) return failure("the panel is open already");
    UIScreen::mainScreen()->setBounds(CGRectMake(0, 0, screen_.width, screen_.height));
    UIScreen::mainScreen()->setScale(screenScale_);
    UIGraphicsSetMainScreenScaleForContexts(screenScale_);
    UIDevice::currentDevice()->setModel(model_);
    MSLoadModulesForHost(kBundleIdentifier, "Preferences");
    const auto entry = findEntry();
    if (!entry) return failure("the Corvane panel is not installed on this device");
    const auto folder = DeviceRoot::resolve("/Library/PreferenceBundles/" + entry->bundle + ".bundle");
    if (!::dlopen((folder / entry->bundle).c_str(), RTLD_NOW | RTLD_GLOBAL)) {
        return failure("the panel's bundle cannot be loaded: " + std::string(::dlerror()));
    }
    panel_ = PSListControllerMessage::newController.send(objc_getClass(entry->detail));
    if (!panel_) return failure("the panel's bundle has no controller " + entry->detail);
    panel_->setBundle(NSBundle(folder));
    panel_->setTitle(entry->label);
    const CGRect screen = UIScreen::mainScreen()->bounds();
    window_ = UIView::create<UIWindow>(screen);
    navigation_ = std::make_shared<UINavigationController>(panel_);
    navigation_->loadView(screen);
    window_->addSubview(navigation_->view());
    window_->makeKeyAndVisible();
    renderer_ = std::make_unique<CARenderer>(screen.size, UIScreen::mainScreen()->scale());
    RunLoop::main().runPending();
    return std::nullopt;
}

void SimulatedSettings::emitRows() {
    Json rows = Json::array();
    int index = 0;
    for (const auto& row : panel_->specifiers()) {
        rows.push_back({{"index", index++},
                        {"cell", PSCellTypeName(row->cellType())},
                        {"label", row->name()},
                        {"key", row->key().empty() ? Json(nullptr) : Json(row->key())},
                        {"value", jsonOf(panel_->valueOf(row.get()))}});
    }
    trace_.emit("rows", {{"rows", rows}});
}

ScriptResult SimulatedSettings::setValue(const SettingsCommand& command) {
    const std::string& key = command.words[0];
    for (const auto& row : panel_->specifiers()) {
        if (row->key() != key) continue;
        auto parsed = parsePrefsValue(command.words[1], PrefsValueKind::Inferred);
        if (!parsed.value) return ScriptError{command.line, parsed.error};
        panel_->setValueOf(row.get(), std::move(*parsed.value));
        return std::nullopt;
    }
    return ScriptError{command.line, "no row of the panel shows " + key + " now"};
}

ScriptResult SimulatedSettings::tap(const SettingsCommand& command) {
    for (const auto& row : panel_->specifiers()) {
        if (row->action() && command.words[0] == sel_getName(row->action())) {
            panel_->press(row.get());
            return std::nullopt;
        }
    }
    return ScriptError{command.line, "no button of the panel has the action " + command.words[0]};
}

UIView* SimulatedSettings::chooser() const {
    UIView* list = panel_ ? panel_->view().get() : nullptr;
    if (!list) return nullptr;
    const auto& children = list->subviews();
    for (auto it = children.rbegin(); it != children.rend(); ++it) {
        if (sliderTagged(**it, crvsettingsRedSlider)) return it->get();
    }
    return nullptr;
}

ScriptResult SimulatedSettings::moveSlider(const SettingsCommand& command) {
    static const std::map<std::string, int, std::less<>> kTags = {
        {"red", crvsettingsRedSlider}, {"green", crvsettingsGreenSlider},
        {"blue", crvsettingsBlueSlider}, {"alpha", crvsettingsAlphaSlider}};
    const auto tag = kTags.find(command.words[0]);
    if (tag == kTags.end()) {
        return ScriptError{command.line, "slider takes red, green, blue or alpha and a value"};
    }
    UIView* open = chooser();
    UISlider* slider = open ? sliderTagged(*open, tag->second) : nullptr;
    if (!slider) return ScriptError{command.line, "the colour chooser is not open (tap chooseColor: first)"};
    slider->setValue(static_cast<float>(command.numbers[0]));
    slider->sendActionsForControlEvents(UIControlEventValueChanged);
    return std::nullopt;
}

ScriptResult SimulatedSettings::finishMail(const SettingsCommand& command) {
    auto* composer = objc_cast<MFMailComposeViewController>(panel_->modalViewController());
    if (!composer) return ScriptError{command.line, "no mail is being written (tap sendMail: first)"};
    // Kept while the panel lets it go.
    const auto keep = std::static_pointer_cast<MFMailComposeViewController>(composer->shared_from_this());
    if (command.verb == SettingsVerb::MailCancel) {
        composer->cancel();
        return std::nullopt;
    }
    Json attachments = Json::array();
    for (const auto& attachment : composer->attachments()) {
        attachments.push_back({{"mime", attachment.mimeType},
                               {"name", attachment.fileName},
                               {"bytes", attachment.data.size()}});
    }
    trace_.emit("mail", {{"to", composer->toRecipients()},
                         {"subject", composer->subject()},
                         {"body", composer->messageBody()},
                         {"html", composer->isMessageBodyHTML()},
                         {"attachments", attachments}});
    composer->send();
    return std::nullopt;
}

ScriptResult SimulatedSettings::dumpChooser(const SettingsCommand& command) {
    UIView* open = chooser();
    if (!open) return ScriptError{command.line, "the colour chooser is not open (tap chooseColor: first)"};
    Json children = Json::array();
    for (const auto& child : open->subviews()) {
        const CGRect f = child->frame();
        Json entry = {{"class", class_getName(child->isa())},
                      {"frame", {f.origin.x, f.origin.y, f.size.width, f.size.height}}};
        if (auto* label = objc_cast<UILabel>(child.get())) entry["text"] = label->text();
        if (auto* slider = objc_cast<UISlider>(child.get())) entry["value"] = slider->value();
        children.push_back(entry);
    }
    const CGRect f = open->frame();
    trace_.emit("dump", {{"what", "chooser"},
                         {"frame", {f.origin.x, f.origin.y, f.size.width, f.size.height}},
                         {"children", children}});
    return std::nullopt;
}

ScriptResult SimulatedSettings::snap(const SettingsCommand& command) {
    if (!recordFolder_) return std::nullopt;
    const std::string& name = command.words[0];
    if (name.find('/') != std::string::npos || name == "." || name == "..") {
        return ScriptError{command.line, "a snap name is a file name without folders: " + name};
    }
    std::error_code ec;
    std::filesystem::create_directories(*recordFolder_, ec);
    if (!CGImageWritePNG(renderScreen(), *recordFolder_ / (name + ".png"))) {
        return ScriptError{command.line, "cannot write " + name + ".png"};
    }
    return std::nullopt;
}

CGImageRef SimulatedSettings::renderScreen() {
    if (!renderer_) return nullptr;
    std::vector<const CALayer*> layers;
    for (const auto& window : UIApplication::sharedApplication()->windows()) {
        layers.push_back(window->layer());
    }
    renderer_->render(layers, RunLoop::main().now());
    return renderer_->image();
}

void SimulatedSettings::touch(UITouchPhase phase, const std::vector<CGPoint>& points) {
    UIApplication::sharedApplication()->sendTouches(phase, points);
    RunLoop::main().runPending();
}

void SimulatedSettings::key(int keyCode) {
    if (navigation_ && (keyCode == 27 || keyCode == '\b')) navigation_->backButtonTapped();
    RunLoop::main().runPending();
}
