// The cost of drawing a full-screen image, the compositor's commonest step, against copying
// its bytes: a whole-pixel placement must copy, not resample, and stay within a few memcpys.

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <vector>

#include "platform/graphics/CGContext.h"

namespace {

constexpr size_t kWidth = 320, kHeight = 480;
constexpr size_t kBytes = kWidth * kHeight * 4;

// A gradient, fully opaque or with alpha varying across it.
CGImageRef screenImage(bool opaque) {
    std::vector<CGImagePixel> pixels;
    pixels.reserve(kWidth * kHeight);
    for (size_t y = 0; y < kHeight; ++y) {
        for (size_t x = 0; x < kWidth; ++x) {
            pixels.push_back({uint8_t(x), uint8_t(y), uint8_t(x ^ y),
                              uint8_t(opaque ? 255 : 64 + (x + y) % 192)});
        }
    }
    return CGImageCreateWithPixels(kWidth, kHeight, pixels);
}

// Nanoseconds for one memcpy of a screen's bytes, the best of several timed batches.
double memcpyNanoseconds() {
    static const double best = [] {
        std::vector<uint8_t> from(kBytes, 1), to(kBytes);
        double fastest = 1e30;
        for (int batch = 0; batch < 20; ++batch) {
            const auto start = std::chrono::steady_clock::now();
            for (int i = 0; i < 50; ++i) {
                std::memcpy(to.data(), from.data(), kBytes);
                benchmark::DoNotOptimize(to.data());
                benchmark::ClobberMemory();
            }
            const std::chrono::duration<double, std::nano> took =
                std::chrono::steady_clock::now() - start;
            fastest = std::min(fastest, took.count() / 50);
        }
        return fastest;
    }();
    return best;
}

void drawImageAt(benchmark::State& state, CGFloat x, CGFloat y) {
    const CGImageRef image = screenImage(state.range(0) != 0);
    const CGContextRef ctx = CGBitmapContextCreate(kWidth, kHeight);
    const CGRect rect = CGRectMake(x, y, kWidth, kHeight);
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        CGContextDrawImage(ctx, rect, image);
        benchmark::ClobberMemory();
    }
    const std::chrono::duration<double, std::nano> took = std::chrono::steady_clock::now() - start;
    state.counters["x_memcpy"] = took.count() / state.iterations() / memcpyNanoseconds();
    state.SetBytesProcessed(int64_t(state.iterations() * kBytes));
}

void BM_DrawImageWholePixelOffset(benchmark::State& state) {
    drawImageAt(state, 4, 8);
}
BENCHMARK(BM_DrawImageWholePixelOffset)->ArgName("opaque")->Arg(1)->Arg(0);

void BM_DrawImageFractionalOffset(benchmark::State& state) {
    drawImageAt(state, 4.5f, 8.25f);
}
BENCHMARK(BM_DrawImageFractionalOffset)->ArgName("opaque")->Arg(1)->Arg(0);

void BM_MemcpyOfTheSameBytes(benchmark::State& state) {
    std::vector<uint8_t> from(kBytes, 1), to(kBytes);
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), kBytes);
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations() * kBytes));
}
BENCHMARK(BM_MemcpyOfTheSameBytes);

}  // namespace
