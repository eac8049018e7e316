#include "sim/springboard/SimulatedSpringBoard.h"

#include "platform/foundation/NSLog.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/RunLoop.h"
#include "platform/quartz/CARenderer.h"
#include "platform/substrate/SubstrateLoader.h"
#include "platform/uikit/UIDevice.h"
#include "platform/uikit/UIGraphics.h"
#include "platform/uikit/UIScreen.h"
#include "platform/uikit/UITouch.h"
#include "sim/device/Trace.h"
#include "sim/springboard/SBAwayController.h"
#include "sim/springboard/SBSlidingAlertDisplay.h"
#include "sim/springboard/SBStatusBarController.h"
#include "sim/springboard/SpringBoard.h"
#include "sim/springboard/SpringBoardEvents.h"
#include "sim/springboard/SpringBoardTime.h"
#include "sim/device/ViewDump.h"

#include <dlfcn.h>

#include <array>

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

// Where each selector a script may take away lives in SpringBoard.
const std::vector<std::pair<const char*, const char*>> kRemovableSelectors = {
    {"SBAwayView", "touchesBegan:withEvent:"},
    {"SBAwayView", "touchesMoved:withEvent:"},
    {"SBAwayView", "touchesEnded:withEvent:"},
    {"SBAwayView", "setDimmed:"},
    {"SBAwayView", "startAnimations"},
    {"SBAlertView", "alertDisplayBecameVisible"},
    {"SBAwayController", "_unlockWithSound:unlockSource:isAutoUnlock:bypassPinLock:"},
    {"SBAwayController", "dismissCameraAnimated:"},
    {"SBAwayController", "activateCamera"},
    {"SBAwayController", "pluginFullscreenNotification:"},
    {"SBAwayController", "didFinishAnimatingOut"},
    {"SBAwayController", "isPasswordProtected"},
    {"SBAwayController", "isSyncing"},
    {"SBAwayController", "unlockWithSound:isAutoUnlock:"},
    {"SpringBoard", "init"},
    {"SpringBoard", "lockButtonDown:"},
    {"SpringBoard", "autoLock"},
    {"TPLCDView", "setHidden:"},
    {"SBAwayDateView", "initWithFrame:"},
    {"SBAwayDateView", "setIsShowingControls:"},
    {"SBStatusBarController", "setIsLockVisible:isTimeVisible:"},
    {"SBSlidingAlertDisplay", "deviceUnlockCanceled"},
    {"SBSlidingAlertDisplay", "deviceUnlockSucceeded"},
};

void applyScreen(const DeviceConfig& config) {
    UIScreen::mainScreen()->setBounds(CGRectMake(0, 0, config.screenWidth, config.screenHeight));
    UIScreen::mainScreen()->setScale(config.screenScale);
    UIGraphicsSetMainScreenScaleForContexts(config.screenScale);
    UIDevice::currentDevice()->setModel(config.model);
}

}  // namespace

SimulatedSpringBoard::SimulatedSpringBoard() = default;

SimulatedSpringBoard::~SimulatedSpringBoard() {
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
    for (const auto& [className, selector] : kRemovableSelectors) {
        if (config.withoutSelectors.contains(selector)) {
            class_removeMethod(objc_getClass(className), sel_registerName(selector));
        }
    }
}

void SimulatedSpringBoard::boot(const DeviceConfig& config, Trace& trace) {
    traceWith(trace);
    SpringBoardTime::markBoot();
    applyScreen(config);
    registerClasses(config);
    for (const auto& module : MSLoadModulesForHost(kBundleIdentifier, "SpringBoard")) {
        if (auto* dump = ::dlsym(module.handle, "CorvaneDumpSession")) {
            dumpSessionOfTweak_ = reinterpret_cast<DumpSessionFunction>(dump);
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
    if (application_->respondsToSelector(CV_SELECTOR("init"))) application_->init();
    auto* away = SBAwayController::sharedAwayController();
    away->setPasscode(config.passcode);
    application_->setFrontMostApplication(config.frontApp);
    away->showLitAtBoot();
    RunLoop::main().runPending();
}

std::string SimulatedSpringBoard::perform(const std::string& verb, const std::vector<double>& n) {
    auto* away = SBAwayController::sharedAwayController();
    auto& loop = RunLoop::main();
    if (verb == "lock") {
        if (application_->respondsToSelector(CV_SELECTOR("lockButtonDown:"))) {
            application_->lockButtonDown(nullptr);
        }
    } else if (verb == "autolock") {
        application_->sendAutoLock();
    } else if (verb == "wake") {
        away->wake();
    } else if (verb == "dim") {
        away->dim();
    } else if (verb == "alert") {
        away->showAlert();
    } else if (verb == "plugin-fullscreen") {
        if (away->respondsToSelector(CV_SELECTOR("pluginFullscreenNotification:"))) {
            away->pluginFullscreenNotification(nullptr);
        }
    } else if (verb == "camera on" || verb == "camera off") {
        const bool on = verb == "camera on";
        const char* selector = on ? "activateCamera" : "dismissCameraAnimated:";
        if (away->respondsToSelector(sel_registerName(selector))) {
            on ? away->activateCamera() : away->dismissCameraAnimated(true);
        }
    } else if (verb == "media on" || verb == "media off") {
        away->setShowingMediaControls(verb == "media on");
    } else if (verb == "sync on" || verb == "sync off") {
        away->setSyncing(verb == "sync on");
    } else if (verb == "passcode enter") {
        if (!away->isPasscodeShowing()) return "the passcode entry is not showing";
        away->enterPasscode();
    } else if (verb == "passcode cancel") {
        if (!away->isPasscodeShowing()) return "the passcode entry is not showing";
        away->cancelPasscode();
    } else if (verb == "passcode on" || verb == "passcode off") {
        away->setPasscode(verb == "passcode on");
    } else if (verb == "orientation") {
        application_->setStatusBarOrientation(static_cast<int>(n.at(0)));
    } else if (verb == "down" || verb == "move" || verb == "up" || verb == "cancel") {
        return touch(verb, n);
    } else {
        return "unknown command: " + verb;
    }
    loop.runPending();
    return {};
}

std::string SimulatedSpringBoard::touch(const std::string& verb, const std::vector<double>& n) {
    // A dark screen takes no touches.
    auto* away = SBAwayController::sharedAwayController();
    if (away->isLocked() && away->isDimmed() && verb == "down") return {};
    std::vector<CGPoint> points;
    for (std::size_t i = 0; i + 1 < n.size(); i += 2) {
        points.push_back(CGPointMake(static_cast<float>(n[i]), static_cast<float>(n[i + 1])));
    }
    const UITouchPhase phase = verb == "down"   ? UITouchPhaseBegan
                               : verb == "move" ? UITouchPhaseMoved
                               : verb == "up"   ? UITouchPhaseEnded
                                                : UITouchPhaseCancelled;
    application_->sendTouches(phase, points);
    RunLoop::main().runPending();
    return {};
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

// The session state of the loaded tweak; an empty object without one.
nlohmann::ordered_json SimulatedSpringBoard::dumpSession() {
    if (!dumpSessionOfTweak_) return nlohmann::ordered_json::object();
    return nlohmann::ordered_json::parse(dumpSessionOfTweak_());
}

CGImageRef SimulatedSpringBoard::renderScreen() const {
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
