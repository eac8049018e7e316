// The lock screen's renderSnapshot, which a touch-down waits for: the first one after boot and
// the ones after it, at 320×480.

#include "platform/foundation/DeviceRoot.h"
#include "platform/foundation/NSLog.h"
#include "platform/foundation/RunLoop.h"
#include "sim/device/Trace.h"
#include "sim/springboard/SBAwayController.h"
#include "sim/springboard/SimulatedSpringBoard.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <sstream>

namespace {

void BM_LockScreenRenderSnapshot(benchmark::State& state) {
    std::string folder = (std::filesystem::temp_directory_path() / "corvane-bench-XXXXXX").string();
    DeviceRoot::set(::mkdtemp(folder.data()));
    setLogToStandardError(false);
    std::ostringstream sink;
    Trace trace(sink, [] { return RunLoop::main().now(); });
    SimulatedSpringBoard springBoard;
    springBoard.boot(DeviceConfig{}, trace);
    SBAwayView* awayView = SBAwayController::sharedAwayController()->awayView();

    const auto start = std::chrono::steady_clock::now();
    benchmark::DoNotOptimize(awayView->renderSnapshot());
    const std::chrono::duration<double, std::milli> first = std::chrono::steady_clock::now() - start;
    for (auto _ : state) benchmark::DoNotOptimize(awayView->renderSnapshot());
    state.counters["first_after_boot_ms"] = first.count();
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_LockScreenRenderSnapshot)->Unit(benchmark::kMicrosecond);

}  // namespace
