#include "sim/springboard/SimulatedSpringBoard.h"

#include "platform/foundation/DeviceRoot.h"
#include "platform/foundation/DeviceSpringBoard.h"
#include "platform/foundation/NSLog.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/RunLoop.h"
#include "platform/quartz/CARenderer.h"
#include "platform/substrate/SubstrateLoader.h"
#include "platform/uikit/UIDevice.h"
#include "platform/uikit/UIGraphics.h"
#include "platform/uikit/UIScreen.h"
#include "platform/uikit/UITouch.h"
#include "sim/device/DeviceKeys.h"
#include "sim/device/Trace.h"
#include "sim/springboard/SBAwayController.h"
#include "sim/springboard/SBSlidingAlertDisplay.h"
#include "sim/springboard/SBStatusBarController.h"
#include "sim/springboard/SpringBoard.h"
#include "sim/springboard/SpringBoardEvents.h"
#include "sim/springboard/SpringBoardTime.h"
#include "sim/device/ViewDump.h"
#include "platform/springboard/SpringBoardInterface.h"

#include <dlfcn.h>
#include <unistd.h>


namespace {

constexpr const char* kBundleIdentifier = "com.apple.springboard";

// The classes SpringBoard defines, so that all of them are registered before any module loads.
std::vector<Class> springBoardClasses() {
    return {SpringBoard::class_(),           SBAwayController::class_(),
            SBAwayView::class_(),            SBAwayDateView::class_(),
            TPLCDView::class_(),             SBAwayLockBar::class_(),
            SBAwayLockBarKnob::class_(),     SBWallpaperView::class_(),
            SBAwayBulletinTableView::class_(), SBAwayChargingView::class_(),
            SBAlertView::class_(),           SBSlidingAlertDisplay::class_(),
            SBStatusBarController::class_(), SBDeviceLockController::class_(),
            SBUIController::class_(),        SBApplication::class_(),
            SBContextHostManager::class_(),  SBLinenView::class_()};
}

// Where a selector a script may take away lives in SpringBoard: each replaceable method, and the
// methods a tweak asks for only where SpringBoard offers them. Nothing for any other selector.
const char* classOfRemovableSelector(std::string_view selector) {
    const char* found = nullptr;
    SB::forEachReplaceableMethod([&](const auto& method) {
        if (!found && selector == method.message.name()) found = method.className;
    });
    for (const char* optional : {SB::isPasswordProtected.name(), SB::isSyncing.name(),
                                 SB::unlockWithSoundIsAutoUnlock.name()}) {
        if (!found && selector == optional) found = "SBAwayController";
    }
    return found;
}

void applyScreen(const DeviceConfig& config) {
    UIScreen::mainScreen()->setBounds(CGRectMake(0, 0, config.screenWidth, config.screenHeight));
    UIScreen::mainScreen()->setScale(config.screenScale);
    UIGraphicsSetMainScreenScaleForContexts(config.screenScale);
    UIDevice::currentDevice()->setModel(config.model);
}

}  // namespace

SimulatedSpringBoard::SimulatedSpringBoard() = default;

SimulatedSpringBoard::~SimulatedSpringBoard() {
    if (application_) DeviceSpringBoard::release();
    if (logSink_) removeLogSink(logSink_);
    SpringBoardEvents::setSink(nullptr);
}

void SimulatedSpringBoard::traceWith(Trace& trace) {
    SpringBoardEvents::setSink([&trace](std::string_view event, const SpringBoardEvents::Fields& f) {
        trace.emit(event, f);
    });
    logSink_ = addLogSink([&trace](std::string_view line) { trace.emit("log", {{"text", line}}); });
    CFNotificationCenterSetDeliveryTap(
        CFNotificationCenterGetDarwinNotifyCenter(),
        [&trace](std::string_view name) { trace.emit("notification", {{"name", name}}); });
    CFNotificationCenterListen(CFNotificationCenterGetDarwinNotifyCenter());
}

void SimulatedSpringBoard::registerClasses(const DeviceConfig& config) {
    for (const Class cls : springBoardClasses()) (void)cls;
    for (const std::string& selector : config.withoutSelectors) {
        if (const char* className = classOfRemovableSelector(selector)) {
            class_removeMethod(objc_getClass(className), sel_registerName(selector));
        }
    }
}

void SimulatedSpringBoard::boot(const DeviceConfig& config, Trace& trace) {
    traceWith(trace);
    // The settings panel's restart finds this process by the lock it now holds.
    if (const auto problem = DeviceSpringBoard::claim()) NSLog(*problem);
    SpringBoardTime::markBoot();
    applyScreen(config);
    registerClasses(config);
    for (const auto& module : MSLoadModulesForHost(kBundleIdentifier, "SpringBoard")) {
        if (auto* dump = ::dlsym(module.handle, "CorvaneDumpSettings")) {
            dumpSettingsOfTweak_ = reinterpret_cast<DumpFunction>(dump);
        }
        if (auto* dump = ::dlsym(module.handle, "CorvaneDumpSession")) {
            dumpSessionOfTweak_ = reinterpret_cast<DumpFunction>(dump);
        }
        if (auto* role = ::dlsym(module.handle, "CorvaneViewRole")) {
            viewRoleOfTweak_ = reinterpret_cast<ViewRoleFunction>(role);
        }
    }

    renderer_ = std::make_unique<CARenderer>(UIScreen::mainScreen()->bounds().size,
                                             UIScreen::mainScreen()->scale());
    application_ = std::make_shared<SpringBoard>();
    application_->setStatusBarOrientation(config.orientation);
    application_->setStatusBarItemObserver([&trace](int item, bool visible) {
        trace.emit("status-bar-item", {{"item", item}, {"visible", visible}});
        SBStatusBarController::sharedStatusBarController()->redraw();
    });
    if (SB::init.isAnsweredBy(application_.get())) application_->init();
    auto* away = SBAwayController::sharedAwayController();
    away->setPasscode(config.passcode);
    application_->setFrontMostApplication(config.frontApp);
    away->showLitAtBoot();
    RunLoop::main().runPending();
}

ScriptResult SimulatedSpringBoard::perform(const ScriptCommand& command) {
    using V = ScriptVerb;
    auto* away = SBAwayController::sharedAwayController();
    switch (command.verb) {
        case V::Lock:
            if (SB::lockButtonDown.isAnsweredBy(application_.get())) application_->lockButtonDown(nullptr);
            break;
        case V::AutoLock:
            application_->sendAutoLock();
            break;
        case V::Wake:
            away->wake();
            break;
        case V::Dim:
            away->dim();
            break;
        case V::Alert:
            away->showAlert();
            break;
        case V::PluginFullscreen:
            if (SB::pluginFullscreenNotification.isAnsweredBy(away)) {
                away->pluginFullscreenNotification(nullptr);
            }
            break;
        case V::CameraOn:
            if (SB::activateCamera.isAnsweredBy(away)) away->activateCamera();
            break;
        case V::CameraOff:
            if (SB::dismissCameraAnimated.isAnsweredBy(away)) away->dismissCameraAnimated(true);
            break;
        case V::MediaOn:
        case V::MediaOff:
            away->setShowingMediaControls(command.verb == V::MediaOn);
            break;
        case V::SyncOn:
        case V::SyncOff:
            away->setSyncing(command.verb == V::SyncOn);
            break;
        case V::PasscodeEnter:
        case V::PasscodeCancel:
            if (!away->isPasscodeShowing()) {
                return scriptFailure(command, "the passcode entry is not showing");
            }
            command.verb == V::PasscodeEnter ? away->enterPasscode() : away->cancelPasscode();
            break;
        case V::PasscodeOn:
        case V::PasscodeOff:
            away->setPasscode(command.verb == V::PasscodeOn);
            break;
        case V::FrontApp:
            application_->setFrontMostApplication(command.words.at(0) == "none" ? ""
                                                                                : command.words.at(0));
            break;
        case V::Orientation:
            application_->setStatusBarOrientation(
                static_cast<UIInterfaceOrientation>(command.numbers.at(0)));
            break;
        case V::Down:
        case V::Move:
        case V::Up:
        case V::Cancel:
            touch(command);
            break;
        case V::Key: {
            const auto code = deviceKeyNamed(command.words[0]);
            if (!code) {
                return scriptFailure(command, "no key is called " + command.words[0] +
                                                  " (a letter, a digit, escape or backspace)");
            }
            key(*code);
            break;
        }
        default:
            return scriptFailure(command, std::string(scriptVerbName(command.verb)) +
                                              " is not a SpringBoard command");
    }
    RunLoop::main().runPending();
    return std::nullopt;
}

void SimulatedSpringBoard::touch(const ScriptCommand& command) {
    const auto& n = command.numbers;
    std::vector<CGPoint> points;
    for (std::size_t i = 0; i + 1 < n.size(); i += 2) {
        points.push_back(CGPointMake(static_cast<float>(n[i]), static_cast<float>(n[i + 1])));
    }
    const UITouchPhase phase = command.verb == ScriptVerb::Down   ? UITouchPhaseBegan
                               : command.verb == ScriptVerb::Move ? UITouchPhaseMoved
                               : command.verb == ScriptVerb::Up   ? UITouchPhaseEnded
                                                                  : UITouchPhaseCancelled;
    touch(phase, points);
}

void SimulatedSpringBoard::touch(UITouchPhase phase, const std::vector<CGPoint>& points) {
    // A dark screen takes no touches.
    auto* away = SBAwayController::sharedAwayController();
    if (away->isLocked() && away->isDimmed() && phase == UITouchPhaseBegan) return;
    application_->sendTouches(phase, points);
    RunLoop::main().runPending();
}

void SimulatedSpringBoard::key(int keyCode) {
    auto* away = SBAwayController::sharedAwayController();
    const bool digit = (keyCode >= '0' && keyCode <= '9') || keyCode == kBackspaceKey;
    if (digit && away->passcodeDisplay()) {
        away->passcodeDisplay()->typeKey(static_cast<char>(keyCode));
        return;
    }
    using V = ScriptVerb;
    std::optional<V> verb;
    switch (keyCode) {
        case 'l': verb = V::Lock; break;
        case 'h':
        case 'w': verb = V::Wake; break;
        case 'd': verb = V::Dim; break;
        case 'p': verb = V::PasscodeEnter; break;
        case kEscapeKey: verb = V::PasscodeCancel; break;
        case 'a': verb = V::Alert; break;
        case 'c': cameraOn_ = !cameraOn_; verb = cameraOn_ ? V::CameraOn : V::CameraOff; break;
        case 'm': mediaOn_ = !mediaOn_; verb = mediaOn_ ? V::MediaOn : V::MediaOff; break;
        default: break;
    }
    if (verb) perform(ScriptCommand::make(*verb));
}

nlohmann::ordered_json SimulatedSpringBoard::dumpViews() {
    auto windows = nlohmann::ordered_json::array();
    ViewRoleNamer roleOf;
    if (viewRoleOfTweak_) {
        roleOf = [this](const UIView* view) { return std::string(viewRoleOfTweak_(view)); };
    }
    for (const auto& window : application_->windows()) {
        windows.push_back(viewTreeJson(*window, roleOf));
    }
    return windows;
}

// The settings record of the loaded tweak; null without one.
nlohmann::ordered_json SimulatedSpringBoard::dumpSettings() {
    if (!dumpSettingsOfTweak_) return nullptr;
    return nlohmann::ordered_json::parse(dumpSettingsOfTweak_());
}

// The session state of the loaded tweak; an empty object without one.
nlohmann::ordered_json SimulatedSpringBoard::dumpSession() {
    if (!dumpSessionOfTweak_) return nlohmann::ordered_json::object();
    return nlohmann::ordered_json::parse(dumpSessionOfTweak_());
}

CGImageRef SimulatedSpringBoard::renderScreen() {
    auto* away = SBAwayController::sharedAwayControllerIfExists();
    const bool dark = away && away->isLocked() && away->isDimmed();
    std::vector<const CALayer*> layers;
    if (!dark) {
        for (const auto& window : application_->windows()) layers.push_back(window->layer());
    }
    renderer_->render(layers, RunLoop::main().now());
    return renderer_->image();
}

bool SimulatedSpringBoard::snap(const std::filesystem::path& file) {
    return CGImageWritePNG(renderScreen(), file);
}
