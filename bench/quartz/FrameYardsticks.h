#pragma once

// What the compositor's frame benchmarks measure a frame against, in the same run: a memcpy of
// the frame (the least any frame can cost) and cairo's own bilinear paint of a full-screen picture
// scaled by 0.7 and turned by 0.3 radians about the screen's centre over another (the general
// resampling that the compositor falls back to). Each is the best of several tries, so that a
// busy moment does not flatter the ratios. Also the pictures and layers the frames are made of,
// and the timing of one frame.

#include <benchmark/benchmark.h>

#include "platform/foundation/RunLoop.h"
#include "platform/graphics/CGImage.h"
#include "platform/graphics/CairoOwners.h"
#include "platform/quartz/CALayer.h"
#include "platform/quartz/CAPixelKernels.h"
#include "platform/quartz/CAPixelWorkers.h"
#include "platform/quartz/CARenderer.h"

#include <cairo.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace FrameYardsticks {

// The pinch frame's transform: how much the top picture is scaled and turned.
constexpr double kPinchScale = 0.7;
constexpr double kPinchTurn = 0.3;

// A picture with detail in every pixel, so that nothing about it is uniform.
inline CGImageRef picture(size_t width, size_t height, uint8_t seed) {
    std::vector<CGImagePixel> pixels(width * height);
    for (size_t y = 0; y < height; ++y) {
        for (size_t x = 0; x < width; ++x) {
            pixels[y * width + x] = {uint8_t(x * 3 + seed), uint8_t(y * 5 + seed),
                                     uint8_t((x ^ y) + seed), 255};
        }
    }
    return CGImageCreateWithPixels(width, height, pixels);
}

// A layer covering a screen of `points`, showing `image`.
inline std::shared_ptr<CALayer> screenLayer(CGSize points, CGImageRef image) {
    auto layer = CALayer::layer();
    layer->setBounds({{0, 0}, points});
    layer->setPosition({points.width / 2, points.height / 2});
    layer->setContents(std::move(image));
    return layer;
}

// Seconds `renderer` takes to draw one frame of `layers`; only the drawing is timed, not what the
// benchmark changed before it.
inline double renderSeconds(CARenderer& renderer, std::span<const CALayer* const> layers) {
    const auto start = std::chrono::steady_clock::now();
    renderer.render(layers, RunLoop::main().now());
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The least of `tries` timings of `run`, in seconds.
template <class Run>
double bestSeconds(int tries, Run run) {
    double best = 1e9;
    for (int i = 0; i < tries; ++i) {
        const auto start = std::chrono::steady_clock::now();
        run(i);
        best = std::min(
            best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    return best;
}

// Seconds per memcpy of `bytes`.
inline double memcpySeconds(size_t bytes) {
    std::vector<uint8_t> from(bytes, 1), to(bytes);
    std::memcpy(to.data(), from.data(), bytes);  // the pages are mapped before the clock starts
    return bestSeconds(30, [&](int i) {
        from[size_t(i)] = uint8_t(i);
        std::memcpy(to.data(), from.data(), bytes);
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    });
}

// Paints `image` over the frame of `width` × `height` pixels drawn by `cr`, scaled and turned
// about the frame's centre as in the pinch frame, bilinearly, clipped to its rectangle (as the
// compositor draws a transformed image through cairo).
inline void paintPinched(cairo_t* cr, cairo_surface_t* image, int width, int height) {
    const CairoStateSaver saver(cr);
    cairo_translate(cr, width / 2.0, height / 2.0);
    cairo_rotate(cr, kPinchTurn);
    cairo_scale(cr, kPinchScale, kPinchScale);
    cairo_translate(cr, -width / 2.0, -height / 2.0);
    cairo_rectangle(cr, 0, 0, width, height);
    cairo_clip(cr);
    cairo_set_source_surface(cr, image, 0, 0);
    cairo_pattern_set_extend(cairo_get_source(cr), CAIRO_EXTEND_PAD);
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_BILINEAR);
    cairo_paint(cr);
}

// Seconds for cairo to lay a `width` × `height` picture into a frame and paint another over it
// as paintPinched does.
inline double cairoPinchSeconds(int width, int height) {
    const CGImageRef below = picture(size_t(width), size_t(height), 0);
    const CGImageRef above = picture(size_t(width), size_t(height), 90);
    const CairoSurfacePtr surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height));
    const CairoContextPtr context(cairo_create(surface.get()));
    cairo_surface_t* frame = surface.get();
    const int stride = cairo_image_surface_get_stride(frame);
    return bestSeconds(5, [&](int) {
        cairo_surface_flush(frame);
        std::memcpy(cairo_image_surface_get_data(frame),
                    cairo_image_surface_get_data(below->surface()),
                    size_t(stride) * size_t(height));
        cairo_surface_mark_dirty(frame);
        paintPinched(context.get(), above->surface(), width, height);
        cairo_surface_flush(frame);
        benchmark::DoNotOptimize(cairo_image_surface_get_data(frame));
    });
}

// Draws on `cores` cores while it lives, then on all of them again; and names the instruction set
// the frames are sampled with in the benchmark's label.
class OnCores {
public:
    OnCores(benchmark::State& state, int cores) {
        CAPixelWorkers::setCores(cores);
        state.SetLabel(std::string(CAPixelKernels::instructionSet()) + ", " +
                       std::to_string(CAPixelWorkers::cores()) +
                       (CAPixelWorkers::cores() == 1 ? " core" : " cores"));
    }
    ~OnCores() { CAPixelWorkers::setCores(0); }
};

// Reports frames of `bytes` each measured at `spent` seconds in all: frames a second,
// milliseconds a frame, the frame's cost as a multiple of a memcpy of it (taking `memcpy`
// seconds), and the bytes the frame moves a second beside memcpy's. A frame reads two pictures of
// its size and writes itself, three times its bytes; a memcpy reads and writes, twice.
inline void reportFrames(benchmark::State& state, double spent, double memcpy, size_t bytes) {
    const double frame = spent / double(state.iterations());
    state.counters["fps"] = 1 / frame;
    state.counters["ms_frame"] = frame * 1e3;
    state.counters["x_memcpy"] = frame / memcpy;
    state.counters["GBps"] = 3 * double(bytes) / frame / 1e9;
    state.counters["memcpy_GBps"] = 2 * double(bytes) / memcpy / 1e9;
}

// reportFrames, and the frame's cost as a multiple of cairo's pinch frame (`cairo` seconds).
inline void report(benchmark::State& state, double spent, double memcpy, double cairo,
                   size_t bytes) {
    reportFrames(state, spent, memcpy, bytes);
    state.counters["x_cairo"] = spent / double(state.iterations()) / cairo;
}

}  // namespace FrameYardsticks
