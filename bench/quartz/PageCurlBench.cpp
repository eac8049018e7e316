// The compositor's cost per frame while the lock screen is peeled half way and more (time 0.6,
// pulled to the left and up and to the left) over a full-screen picture, at three screen sizes,
// drawn through the renderer from the layers to the screen's pixels; against a memcpy of the
// frame and cairo's bilinear paint of a full-screen picture turned and scaled over another,
// measured in the same run.

#include <benchmark/benchmark.h>

#include "platform/foundation/RunLoop.h"
#include "platform/quartz/CAFilter.h"
#include "platform/quartz/CALayer.h"
#include "platform/quartz/CARenderer.h"

#include "FrameYardsticks.h"

#include <chrono>
#include <numbers>

namespace {

std::shared_ptr<CALayer> imageLayer(CGSize points, CGImageRef image) {
    auto layer = CALayer::layer();
    layer->setBounds({{0, 0}, points});
    layer->setPosition({points.width / 2, points.height / 2});
    layer->setContents(std::move(image));
    return layer;
}

// Arguments: points wide, points high, scale, the pull's angle in degrees.
void BM_PageCurlFrame(benchmark::State& state) {
    const CGSize points{float(state.range(0)), float(state.range(1))};
    const auto scale = CGFloat(state.range(2));
    const double angle = double(state.range(3)) * std::numbers::pi / 180;
    const size_t w = size_t(points.width * scale), h = size_t(points.height * scale);
    auto beneath = imageLayer(points, FrameYardsticks::picture(w, h, 0));
    auto page = imageLayer(points, FrameYardsticks::picture(w, h, 90));
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
        const auto start = std::chrono::steady_clock::now();
        renderer.render(layers, RunLoop::main().now());
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        state.SetIterationTime(seconds);
        spent += seconds;
    }
    FrameYardsticks::report(state, spent, copy, cairo);
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

}  // namespace
