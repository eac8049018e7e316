// The compositor's cost per frame while the lock screen is peeled half way and more (time 0.6,
// pulled to the left and up and to the left) over a full-screen picture, at three screen sizes,
// drawn through the renderer from the layers to the screen's pixels; against a memcpy of the
// frame and cairo's bilinear paint of a full-screen picture turned and scaled over another,
// measured in the same run; on one core, and the largest on two.

#include <benchmark/benchmark.h>

#include "platform/foundation/RunLoop.h"
#include "platform/quartz/CAFilter.h"
#include "platform/quartz/CALayer.h"
#include "platform/quartz/CARenderer.h"

#include "FrameYardsticks.h"

#include <numbers>

namespace {

using FrameYardsticks::screenLayer;

// The peel of the benchmark's arguments (points wide, points high, scale, the pull's angle in
// degrees) on `cores` cores.
void pageCurlFrames(benchmark::State& state, int cores) {
    const FrameYardsticks::OnCores on(state, cores);
    const CGSize points{float(state.range(0)), float(state.range(1))};
    const auto scale = CGFloat(state.range(2));
    const double angle = double(state.range(3)) * std::numbers::pi / 180;
    const size_t w = size_t(points.width * scale), h = size_t(points.height * scale);
    auto beneath = screenLayer(points, FrameYardsticks::picture(w, h, 0));
    auto page = screenLayer(points, FrameYardsticks::picture(w, h, 90));
    auto curl = CAFilter::filterWithType(kCAFilterPageCurl);
    curl->setDefaults();
    curl->setValue(angle, "inputAngle");
    beneath->addSublayer(page);
    CARenderer renderer(points, scale);
    const CALayer* layers[] = {beneath.get()};
    const double copy = FrameYardsticks::memcpySeconds(w * h * 4);
    const double cairo = FrameYardsticks::cairoPinchSeconds(int(w), int(h));
    double spent = 0;
    int frame = 0;
    for (auto _ : state) {
        // The peel moves on a hair every frame, so that no frame repeats the one before.
        curl->setValue(0.6 + 1e-5 * (frame++ % 3), "inputTime");
        page->setFilters({curl});
        const double seconds = FrameYardsticks::renderSeconds(renderer, layers);
        state.SetIterationTime(seconds);
        spent += seconds;
    }
    FrameYardsticks::report(state, spent, copy, cairo, w * h * 4);
}

// On one core.
void BM_PageCurlFrame(benchmark::State& state) {
    pageCurlFrames(state, 1);
}
BENCHMARK(BM_PageCurlFrame)
    ->Args({320, 480, 1, 180})
    ->Args({375, 667, 2, 180})
    ->Args({430, 932, 3, 180})
    ->Args({320, 480, 1, -135})
    ->Args({375, 667, 2, -135})
    ->Args({430, 932, 3, -135})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// On two cores.
void BM_PageCurlFrameTwoCores(benchmark::State& state) {
    pageCurlFrames(state, 2);
}
BENCHMARK(BM_PageCurlFrameTwoCores)
    ->Args({430, 932, 3, 180})
    ->Args({430, 932, 3, -135})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace
