// The cost of drawing a page peeled half way and more (time 0.6, pulled to the left and up and
// to the left) at three screen sizes in pixels, from the page's pixels to the target's, over a
// picture already there.

#include <benchmark/benchmark.h>

#include "platform/quartz/CAPageCurl.h"

#include <cairo.h>

#include <cstdint>
#include <numbers>

namespace {

// A surface with detail in every pixel, so that nothing about it is uniform.
cairo_surface_t* picture(int width, int height, uint8_t seed) {
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    cairo_surface_flush(surface);
    auto* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(data + y * stride);
        for (int x = 0; x < width; ++x) {
            row[x] = 0xFF000000u | uint32_t(uint8_t(x * 3 + seed)) << 16 |
                     uint32_t(uint8_t(y * 5 + seed)) << 8 | uint8_t((x ^ y) + seed);
        }
    }
    cairo_surface_mark_dirty(surface);
    return surface;
}

// Arguments: pixels wide, pixels high, the pull's angle in degrees.
void BM_PageCurlFrame(benchmark::State& state) {
    const int w = int(state.range(0)), h = int(state.range(1));
    const double angle = double(state.range(2)) * std::numbers::pi / 180;
    cairo_surface_t* page = picture(w, h, 90);
    cairo_surface_t* target = picture(w, h, 0);
    cairo_t* cr = cairo_create(target);
    for (auto _ : state) {
        CAPageCurlDraw(cr, page, 0.6, angle, 1.0);
        cairo_surface_flush(target);
        benchmark::DoNotOptimize(cairo_image_surface_get_data(target));
    }
    state.counters["fps"] = benchmark::Counter(double(state.iterations()),
                                               benchmark::Counter::kIsRate);
    cairo_destroy(cr);
    cairo_surface_destroy(target);
    cairo_surface_destroy(page);
}
BENCHMARK(BM_PageCurlFrame)
    ->Args({320, 480, 180})
    ->Args({750, 1334, 180})
    ->Args({1290, 2796, 180})
    ->Args({320, 480, -135})
    ->Args({750, 1334, -135})
    ->Args({1290, 2796, -135})
    ->Unit(benchmark::kMillisecond);

}  // namespace
