// Frames drawn on several cores against the same frames on one: a large frame is shared out in
// bands of rows, and must come out the same, pixel for pixel, however many cores drew it. And the
// workers themselves: every part runs once, a part that shares out its own work runs it itself,
// a second thread asking while the workers are busy is not kept waiting for them, and a forked
// process has workers of its own.

#include "platform/foundation/RunLoop.h"
#include "platform/graphics/CGImage.h"
#include "platform/quartz/CAFilter.h"
#include "platform/quartz/CALayer.h"
#include "platform/quartz/CAPixelWorkers.h"
#include "platform/quartz/CARenderer.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cairo.h>
#include <atomic>
#include <cstring>
#include <functional>
#include <numbers>
#include <thread>
#include <vector>

namespace {

// Well above the size below which a frame is drawn on one core.
constexpr CGSize kScreen{430, 932};

CGImageRef picture(uint8_t seed) {
    const auto w = size_t(kScreen.width), h = size_t(kScreen.height);
    std::vector<CGImagePixel> pixels(w * h);
    for (size_t y = 0; y < h; ++y) {
        for (size_t x = 0; x < w; ++x) {
            pixels[y * w + x] = {uint8_t(x * 3 + seed), uint8_t(y * 5 + seed),
                                 uint8_t((x ^ y) + seed), 255};
        }
    }
    return CGImageCreateWithPixels(w, h, pixels);
}

std::shared_ptr<CALayer> screenLayer(CGImageRef image) {
    auto layer = CALayer::layer();
    layer->setBounds({{0, 0}, kScreen});
    layer->setPosition({kScreen.width / 2, kScreen.height / 2});
    layer->setContents(std::move(image));
    return layer;
}

// The frame's bytes, drawn on `cores` cores.
std::vector<uint8_t> frameOn(int cores, const CALayer& root) {
    CAPixelWorkers::setCores(cores);
    CARenderer renderer(kScreen, 1);
    const CALayer* layers[] = {&root};
    renderer.render(layers, RunLoop::main().now());
    CAPixelWorkers::setCores(0);
    const CGImageRef image = renderer.image();
    cairo_surface_t* surface = image->surface();
    cairo_surface_flush(surface);
    const auto* data = cairo_image_surface_get_data(surface);
    return {data, data + size_t(cairo_image_surface_get_stride(surface)) * size_t(kScreen.height)};
}

TEST(CAPixelWorkers, AFrameIsTheSameOnTwoCoresAsOnOne) {
    if (std::thread::hardware_concurrency() < 2) GTEST_SKIP() << "one core only";
    struct Case {
        const char* name;
        std::function<void(CALayer&)> pose;  // of the lock-screen layer over the picture
    };
    const auto curl = [](double degrees) {
        return [degrees](CALayer& layer) {
            auto filter = CAFilter::filterWithType(kCAFilterPageCurl);
            filter->setDefaults();
            filter->setValue(degrees * std::numbers::pi / 180, "inputAngle");
            filter->setValue(0.6, "inputTime");
            layer.setFilters({filter});
        };
    };
    const Case cases[] = {
        {"drag",
         [](CALayer& l) {
             l.setPosition({kScreen.width / 2 + 37.3f, kScreen.height / 2 + 0.2f});
             l.setOpacity(0.6f);
         }},
        {"pinch and turn",
         [](CALayer& l) {
             l.setAffineTransform(
                 CGAffineTransformRotate(CGAffineTransformMakeScale(0.7f, 0.7f), 0.3f));
         }},
        {"pinch, translucent",
         [](CALayer& l) {
             l.setAffineTransform(CGAffineTransformMakeScale(1.3f, 1.3f));
             l.setOpacity(0.5f);
         }},
        {"peel to the left", curl(180)},
        {"peel up and to the left", curl(-135)},
        {"peel down and to the right", curl(30)},
    };
    for (const Case& c : cases) {
        auto root = screenLayer(nullptr);
        root->addSublayer(screenLayer(picture(0)));
        auto lockScreen = screenLayer(picture(90));
        c.pose(*lockScreen);
        root->addSublayer(lockScreen);
        const auto one = frameOn(1, *root);
        EXPECT_TRUE(one == frameOn(2, *root)) << c.name;
    }
}

TEST(CAPixelWorkers, EveryPartRunsOnceAndNestedOrConcurrentWorkRunsInPlace) {
    // Many jobs of many parts, each part counted, some sharing out parts of their own.
    for (int job = 0; job < 200; ++job) {
        const int count = 1 + job % 37;
        std::vector<std::atomic<int>> runs(size_t(count * 3));
        CAPixelWorkers::forEach(count, 1'000'000, [&](int part) {
            ++runs[size_t(part)];
            CAPixelWorkers::forEach(2, 1'000'000,
                                    [&](int inner) { ++runs[size_t(count + 2 * part + inner)]; });
        });
        for (const auto& r : runs) ASSERT_EQ(r.load(), 1) << "job " << job;
    }
    // Two threads asking at once: both get every part run.
    std::atomic<int> total{0};
    auto ask = [&] {
        for (int job = 0; job < 500; ++job) {
            CAPixelWorkers::forEach(8, 1'000'000, [&](int) { ++total; });
        }
    };
    std::thread other(ask);
    ask();
    other.join();
    EXPECT_EQ(total.load(), 2 * 500 * 8);
}

// A SpringBoard kept alive is forked from a process that may have drawn already: the child has
// none of its parent's worker threads, and must draw all the same rather than wait for them.
TEST(CAPixelWorkers, AForkedProcessDrawsWithWorkersOfItsOwn) {
    CAPixelWorkers::prepare();
    std::atomic<int> before{0};
    CAPixelWorkers::forEach(8, 1'000'000, [&](int) { ++before; });
    ASSERT_EQ(before.load(), 8);
    const pid_t child = ::fork();
    if (child == 0) {
        std::atomic<int> parts{0};
        for (int job = 0; job < 50; ++job) {
            CAPixelWorkers::forEach(8, 1'000'000, [&](int) { ++parts; });
        }
        ::_exit(parts.load() == 50 * 8 ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

}  // namespace
