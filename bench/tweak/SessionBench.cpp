// The unlock session's costs with the tweak loaded into the simulated SpringBoard: one touch
// move through the window and the touch capture view to the image's new frame, one two-finger
// move through the pinch recogniser to the image's new scale, one touch-down with its snapshot
// of the lock screen, and what a thousand touch sequences leave behind.

#include "platform/foundation/DeviceRoot.h"
#include "platform/foundation/NSLog.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/PropertyList.h"
#include "platform/foundation/RunLoop.h"
#include "platform/uikit/UIApplication.h"
#include "platform/uikit/UIWindow.h"
#include "sim/device/Trace.h"
#include "sim/springboard/SBAwayController.h"
#include "sim/springboard/SimulatedSpringBoard.h"
#include "tweak/settings/CVSettings.h"

#include <benchmark/benchmark.h>
#include <malloc.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>

namespace {

// One booted SpringBoard with the tweak, for every benchmark of the process.
struct Device {
    Device() {
        std::string folder =
            (std::filesystem::temp_directory_path() / "corvane-bench-XXXXXX").string();
        root = ::mkdtemp(folder.data());
        const auto modules = root / "Library/MobileSubstrate/DynamicLibraries";
        std::filesystem::create_directories(modules);
        std::filesystem::copy_file(CORVANE_MODULE_PATH, modules / "Corvane.so");
        std::filesystem::copy_file(CORVANE_MODULE_FILTER, modules / "Corvane.plist");
        DeviceRoot::set(root);
        setLogToStandardError(false);
        springBoard.boot(DeviceConfig{}, trace);
    }
    ~Device() { std::filesystem::remove_all(root); }

    void touch(UITouchPhase phase, CGPoint point = {}) {
        UIApplication::sharedApplication()->sendTouches(phase, std::span(&point, 1));
    }
    void touches(UITouchPhase phase, CGPoint a, CGPoint b) {
        const CGPoint points[] = {a, b};
        UIApplication::sharedApplication()->sendTouches(phase, points);
    }
    // Stores the unlock type, tells the tweak, and shows the lock screen again so that the
    // gesture's add-ons are built.
    void useUnlockType(int type) {
        writePropertyListFile(DeviceRoot::resolve(kCVSettingsFilePath),
                              PlistValue(PlistDictionary{{"cvrUnlockType", PlistValue(type)}}));
        CFNotificationCenterPostNotification(CFNotificationCenterGetDarwinNotifyCenter(),
                                             kCVPrefsUpdatedNotification, nullptr, nullptr, true);
        RunLoop::main().runPending();
        SBAwayController::sharedAwayController()->dim();
        SBAwayController::sharedAwayController()->wake();
        RunLoop::main().runPending();
    }
    // One finger down, a small drag and up, then time for the image to come back.
    void sequence() {
        touch(UITouchPhaseBegan, {160, 250});
        touch(UITouchPhaseMoved, {175, 250});
        touch(UITouchPhaseEnded);
        RunLoop::main().runUntil(RunLoop::main().now() + std::chrono::milliseconds(600));
    }
    std::size_t viewCount() const {
        std::size_t count = 0;
        const auto countIn = [&](const auto& self, const UIView& view) -> void {
            ++count;
            for (const auto& subview : view.subviews()) self(self, *subview);
        };
        for (const auto& window : UIApplication::sharedApplication()->windows()) {
            countIn(countIn, *window);
        }
        return count;
    }

    std::filesystem::path root;
    std::ostringstream sink;
    Trace trace{sink, [] { return RunLoop::main().now(); }};
    SimulatedSpringBoard springBoard;
};

Device& device() {
    static Device* d = new Device;
    return *d;
}

void BM_TouchMoveToNewFrame(benchmark::State& state) {
    auto& d = device();
    d.touch(UITouchPhaseBegan, {160, 250});
    float x = 160;
    for (auto _ : state) {
        x = x > 200 ? 160 : x + 1;
        d.touch(UITouchPhaseMoved, {x, 250});
    }
    d.touch(UITouchPhaseEnded);
    RunLoop::main().runUntil(RunLoop::main().now() + std::chrono::milliseconds(600));
}
BENCHMARK(BM_TouchMoveToNewFrame);

void BM_TwoFingerMoveToNewScale(benchmark::State& state) {
    auto& d = device();
    d.useUnlockType(2);
    d.touches(UITouchPhaseBegan, {60, 240}, {260, 240});
    float spread = 100;
    for (auto _ : state) {
        spread = spread > 110 ? 90 : spread + 1;  // within the limits: no unlock
        d.touches(UITouchPhaseMoved, {160 - spread, 240}, {160 + spread, 240});
    }
    d.touch(UITouchPhaseEnded);
    RunLoop::main().runUntil(RunLoop::main().now() + std::chrono::milliseconds(600));
    d.useUnlockType(0);
}
BENCHMARK(BM_TwoFingerMoveToNewScale);

void BM_TouchDownWithSnapshot(benchmark::State& state) {
    auto& d = device();
    for (auto _ : state) {
        d.touch(UITouchPhaseBegan, {160, 250});
        state.PauseTiming();
        d.touch(UITouchPhaseEnded);
        RunLoop::main().runUntil(RunLoop::main().now() + std::chrono::milliseconds(600));
        state.ResumeTiming();
    }
}
BENCHMARK(BM_TouchDownWithSnapshot)->Unit(benchmark::kMicrosecond);

// Views and heap after the first sequence and after a thousand: both must stay flat.
void BM_ThousandTouchSequences(benchmark::State& state) {
    auto& d = device();
    for (auto _ : state) {
        d.sequence();
        const std::size_t viewsAfterFirst = d.viewCount();
        const std::size_t heapAfterFirst = mallinfo2().uordblks;
        for (int i = 1; i < 1000; ++i) d.sequence();
        state.counters["views_after_1"] = static_cast<double>(viewsAfterFirst);
        state.counters["views_after_1000"] = static_cast<double>(d.viewCount());
        state.counters["heap_bytes_after_1"] = static_cast<double>(heapAfterFirst);
        state.counters["heap_bytes_after_1000"] = static_cast<double>(mallinfo2().uordblks);
    }
}
BENCHMARK(BM_ThousandTouchSequences)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
