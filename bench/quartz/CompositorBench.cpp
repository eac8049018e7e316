// The compositor's cost per frame while the lock screen is dragged (a full-screen picture below,
// the lock-screen picture over it, moved by a fraction of a pixel, at opacity 0.6), reported as a
// ratio to a memcpy of the same frame measured in the same run; the same while it is pinched and
// turned, also against cairo's bilinear paint of that frame, on one core and on two; the cost of
// drawing a view tree into a context (a snapshot); a frame of the colour chooser (pattern, rounded
// corners, border); and the cost of hit-testing and delivering one touch move.

#include <benchmark/benchmark.h>

#include "platform/foundation/RunLoop.h"
#include "platform/graphics/CGContext.h"
#include "platform/quartz/CALayer.h"
#include "platform/quartz/CARenderer.h"
#include "platform/uikit/UIApplication.h"
#include "platform/uikit/UIColor.h"
#include "platform/uikit/UIImageView.h"
#include "platform/uikit/UIScreen.h"
#include "platform/uikit/UIWindow.h"

#include "FrameYardsticks.h"

#include <vector>

namespace {

using FrameYardsticks::picture;
using FrameYardsticks::renderSeconds;
using FrameYardsticks::screenLayer;

// A screen of the benchmark's arguments (points wide, points high, scale): a full-screen picture
// beneath and the lock-screen picture over it, both under one root layer.
struct LockScreenOverPicture {
    explicit LockScreenOverPicture(const benchmark::State& state)
        : points{float(state.range(0)), float(state.range(1))},
          scale(CGFloat(state.range(2))),
          w(size_t(points.width * scale)),
          h(size_t(points.height * scale)),
          root(screenLayer(points, nullptr)),
          lockScreen(screenLayer(points, picture(w, h, 90))) {
        root->addSublayer(screenLayer(points, picture(w, h, 0)));
        root->addSublayer(lockScreen);
    }
    CGSize points;
    CGFloat scale;
    size_t w, h;
    std::shared_ptr<CALayer> root, lockScreen;
};

// Arguments: points wide, points high, scale. On one core.
void BM_DragFrame(benchmark::State& state) {
    const FrameYardsticks::OnCores cores(state, 1);
    const LockScreenOverPicture screen(state);
    const auto& [points, scale, w, h, root, lockScreen] = screen;
    lockScreen->setOpacity(0.6f);
    CARenderer renderer(points, scale);
    const CALayer* layers[] = {root.get()};
    const double copy = FrameYardsticks::memcpySeconds(w * h * 4);
    double spent = 0;
    int frame = 0;
    for (auto _ : state) {
        // A finger's step: never a whole number of pixels.
        lockScreen->setPosition(
            {points.width / 2 + 37.3f + 0.37f * float(frame++ % 11), points.height / 2 + 0.2f});
        const double seconds = renderSeconds(renderer, layers);
        state.SetIterationTime(seconds);
        spent += seconds;
    }
    FrameYardsticks::reportFrames(state, spent, copy, w * h * 4);
}
BENCHMARK(BM_DragFrame)
    ->Args({320, 480, 1})
    ->Args({375, 667, 2})
    ->Args({430, 932, 3})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// The lock-screen picture pinched and turned (scaled by 0.7, turned by 0.3 radians about the
// screen's centre) over the full-screen picture beneath, at opacity 1, on `cores` cores; against
// a memcpy of the frame and cairo's bilinear paint of the same frame.
void pinchRotateFrames(benchmark::State& state, int cores) {
    const FrameYardsticks::OnCores on(state, cores);
    const LockScreenOverPicture screen(state);
    const auto& [points, scale, w, h, root, lockScreen] = screen;
    CARenderer renderer(points, scale);
    const CALayer* layers[] = {root.get()};
    const double copy = FrameYardsticks::memcpySeconds(w * h * 4);
    const double cairo = FrameYardsticks::cairoPinchSeconds(int(w), int(h));
    double spent = 0;
    int frame = 0;
    for (auto _ : state) {
        // The fingers move a little every frame, so that no frame repeats the one before.
        const double turn = FrameYardsticks::kPinchTurn + 1e-4 * (frame++ % 7);
        lockScreen->setAffineTransform(
            CGAffineTransformRotate(CGAffineTransformMakeScale(float(FrameYardsticks::kPinchScale),
                                                               float(FrameYardsticks::kPinchScale)),
                                    float(turn)));
        const double seconds = renderSeconds(renderer, layers);
        state.SetIterationTime(seconds);
        spent += seconds;
    }
    FrameYardsticks::report(state, spent, copy, cairo, w * h * 4);
}

// Arguments: points wide, points high, scale. On one core.
void BM_PinchRotateFrame(benchmark::State& state) {
    pinchRotateFrames(state, 1);
}
BENCHMARK(BM_PinchRotateFrame)
    ->Args({320, 480, 1})
    ->Args({375, 667, 2})
    ->Args({430, 932, 3})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// The same on two cores.
void BM_PinchRotateFrameTwoCores(benchmark::State& state) {
    pinchRotateFrames(state, 2);
}
BENCHMARK(BM_PinchRotateFrameTwoCores)
    ->Args({320, 480, 1})
    ->Args({430, 932, 3})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// Arguments: points wide, points high, scale. The settings panel's colour chooser while a slider
// moves: a pin-striped backdrop and, over it, a swatch with rounded corners and a border whose
// colour changes every frame. Nothing here takes the pixel fast paths.
void BM_ColorChooserFrame(benchmark::State& state) {
    const CGSize points{float(state.range(0)), float(state.range(1))};
    const auto scale = CGFloat(state.range(2));
    UIScreen::mainScreen()->setScale(scale);
    auto chooser = CALayer::layer();
    chooser->setBounds({{0, 0}, points});
    chooser->setPosition({points.width / 2, points.height / 2});
    chooser->setBackgroundColor(UIColor::pinStripeColor()->CGColor());
    UIScreen::mainScreen()->setScale(1);
    auto swatch = CALayer::layer();
    swatch->setBounds({{0, 0}, {280, 80}});
    swatch->setPosition({points.width / 2, 60});
    swatch->setCornerRadius(10);
    swatch->setBorderWidth(3);
    swatch->setBorderColor(UIColor::blackColor()->CGColor());
    chooser->addSublayer(swatch);
    CARenderer renderer(points, scale);
    const CALayer* layers[] = {chooser.get()};
    int frame = 0;
    for (auto _ : state) {
        swatch->setBackgroundColor(
            UIColor::colorWithRed(0.85, 0.01 * (frame++ % 50), 0.85, 0.85)->CGColor());
        renderer.render(layers, RunLoop::main().now());
    }
}
BENCHMARK(BM_ColorChooserFrame)
    ->Args({320, 480, 1})
    ->Args({375, 667, 2})
    ->Unit(benchmark::kMillisecond);

// A lock screen of a few dozen views: wallpaper, labels, a bar with a knob.
std::shared_ptr<UIWindow> lockScreenWindow() {
    auto window = UIView::create<UIWindow>({0, 0, 320, 480});
    auto wallpaper = UIImageView::createWithImage(UIImage::imageWithCGImage(picture(320, 480, 7)));
    window->addSubview(wallpaper);
    for (int row = 0; row < 6; ++row) {
        auto strip = UIView::create({0, float(row) * 80, 320, 40});
        strip->setBackgroundColor(UIColor::colorWithWhite(0, 0.4));
        for (int i = 0; i < 4; ++i) {
            auto item = UIView::create({float(i) * 80 + 10, 5, 60, 30});
            item->setBackgroundColor(UIColor::colorWithRed(0.2, 0.4, 0.8, 1));
            strip->addSubview(item);
        }
        window->addSubview(strip);
    }
    return window;
}

void BM_RenderViewTreeIntoContext(benchmark::State& state) {
    auto window = lockScreenWindow();
    for (auto _ : state) {
        auto context = CGBitmapContextCreate(320, 480);
        CGContextTranslateCTM(context, 0, 480);
        CGContextScaleCTM(context, 1, -1);
        window->layer()->renderInContext(context);
        benchmark::DoNotOptimize(CGBitmapContextCreateImage(context));
    }
}
BENCHMARK(BM_RenderViewTreeIntoContext)->Unit(benchmark::kMicrosecond);

void BM_HitTestAndDeliverOneMove(benchmark::State& state) {
    auto window = lockScreenWindow();
    window->makeKeyAndVisible();
    auto* app = UIApplication::sharedApplication();
    const CGPoint down[] = {{150, 250}};
    app->sendTouches(UITouchPhaseBegan, down, 0);
    int step = 0;
    for (auto _ : state) {
        const CGPoint p{150.f + float(step % 50), 250.f};
        benchmark::DoNotOptimize(window->hitTest(p, nullptr));
        const CGPoint moved[] = {p};
        app->sendTouches(UITouchPhaseMoved, moved, 0.001 * ++step);
    }
    app->sendTouches(UITouchPhaseEnded, {}, 0.001 * ++step);
    app->removeWindow(window.get());
}
BENCHMARK(BM_HitTestAndDeliverOneMove);

}  // namespace
