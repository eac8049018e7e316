// What the compositor draws around and behind a layer's contents: rounded corners, borders and
// backgrounds of a pattern colour.

#include "ViewsTestSupport.h"

#include "platform/quartz/CALayer.h"
#include "platform/quartz/CARenderer.h"
#include "platform/uikit/UIColor.h"
#include "platform/uikit/UIScreen.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

namespace {

const CGImagePixel kRed{255, 0, 0, 255}, kGreen{0, 255, 0, 255}, kBlue{0, 0, 255, 255},
    kClear{0, 0, 0, 0};

CGColorRef rgb(float r, float g, float b) {
    return CGColorCreate(CGColorSpaceCreateDeviceRGB(), {r, g, b, 1});
}

std::shared_ptr<CALayer> box(CGRect frame, CGColorRef color) {
    auto layer = CALayer::layer();
    layer->setBounds({{0, 0}, frame.size});
    layer->setFrame(frame);
    layer->setBackgroundColor(std::move(color));
    return layer;
}

// The layer drawn alone over a transparent screen of `size` points.
CGImageRef drawAlone(const CALayer& layer, CGSize size, CGFloat scale = 1) {
    CARenderer renderer(size, scale);
    const CALayer* layers[] = {&layer};
    renderer.render(layers, RunLoop::main().now(), 0);
    return renderer.image();
}

// A red picture of 20 × 20 pixels, its top-left quarter blue.
CGImageRef quarterImage() {
    std::vector<CGImagePixel> pixels(20 * 20, kRed);
    for (size_t y = 0; y < 10; ++y) std::fill_n(pixels.begin() + y * 20, 10, kBlue);
    return CGImageCreateWithPixels(20, 20, pixels);
}

CGImagePixel at(const CGImageRef& image, size_t x, size_t y) {
    return CGImageGetPixelForTesting(image, x, y);
}

TEST(CARenderer, RoundsTheBackgroundAlwaysAndWhatLiesOnItOnlyWhenMasking) {
    // A blue sublayer or blue contents fill the top-left quarter of a red layer rounded by 8.
    for (bool masks : {false, true}) {
        for (bool sublayer : {false, true}) {
            SCOPED_TRACE(std::string(masks ? "masking " : "not masking ") +
                         (sublayer ? "a sublayer" : "its contents"));
            auto layer = box(CGRectMake(0, 0, 20, 20), rgb(1, 0, 0));
            layer->setCornerRadius(8);
            layer->setMasksToBounds(masks);
            if (sublayer) {
                layer->addSublayer(box(CGRectMake(0, 0, 10, 10), rgb(0, 0, 1)));
            } else {
                layer->setContents(quarterImage());
            }
            const auto image = drawAlone(*layer, {20, 20});
            EXPECT_EQ(at(image, 0, 0), masks ? kClear : kBlue);
            EXPECT_EQ(at(image, 5, 5), kBlue);
            // Unmasked contents reach into every corner; the background never does.
            EXPECT_EQ(at(image, 19, 19), masks || sublayer ? kClear : kRed);
            EXPECT_EQ(at(image, 10, 10), kRed);
            EXPECT_EQ(at(image, 19, 10), kRed);
        }
    }
}

TEST(CARenderer, DrawsTheBorderInsideTheRoundedEdgeOverTheSublayers) {
    auto layer = box(CGRectMake(0, 0, 20, 20), rgb(1, 0, 0));
    layer->setCornerRadius(6);
    layer->setMasksToBounds(true);
    layer->setBorderWidth(3);
    layer->setBorderColor(rgb(0, 1, 0));
    layer->addSublayer(box(CGRectMake(0, 0, 20, 20), rgb(0, 0, 1)));
    const auto image = drawAlone(*layer, {20, 20});
    EXPECT_EQ(at(image, 0, 0), kClear);
    for (auto [x, y] : {std::pair{1, 10}, {10, 1}, {18, 10}, {10, 18}, {2, 2}, {17, 17}}) {
        EXPECT_EQ(at(image, x, y), kGreen) << x << ", " << y;
    }
    for (auto [x, y] : {std::pair{3, 10}, {10, 10}, {16, 10}, {5, 5}}) {
        EXPECT_EQ(at(image, x, y), kBlue) << x << ", " << y;
    }
}

TEST(CARenderer, RepeatsAPatternColoursTileFromTheLayersOrigin) {
    // The pin stripes repeat every 7 points: at scale 2, every 14 pixels, a band of 8 pixels
    // and a stripe of 6.
    UIScreen::mainScreen()->setScale(2);
    auto layer = box(CGRectMake(3, 0, 40, 2), UIColor::pinStripeColor()->CGColor());
    UIScreen::mainScreen()->setScale(1);
    const auto image = drawAlone(*layer, {50, 2}, 2);
    const size_t origin = 6;
    const CGImagePixel band = at(image, origin, 1), stripe = at(image, origin + 8, 1);
    EXPECT_NE(band, stripe);
    EXPECT_EQ(band.a, 255);
    EXPECT_EQ(stripe.a, 255);
    for (size_t x = origin; x + 14 < origin + 80; ++x) {
        EXPECT_EQ(at(image, x, 2), at(image, x + 14, 2)) << x;
        EXPECT_EQ(at(image, x, 1), (x - origin) % 14 < 8 ? band : stripe) << x;
    }
}

TEST(CARenderer, HidesWhatLiesUnderAPatternOnlyWhenItsTileIsOpaque) {
    for (bool opaque : {true, false}) {
        SCOPED_TRACE(opaque ? "an opaque tile" : "a tile with a hole");
        std::vector<CGImagePixel> pixels(4, kGreen);
        if (!opaque) pixels[3] = kClear;
        const auto tile = CGPatternCreateWithImage(CGImageCreateWithPixels(2, 2, pixels), {2, 2});
        auto root = box(CGRectMake(0, 0, 8, 8), rgb(1, 0, 0));
        root->addSublayer(box(CGRectMake(0, 0, 8, 8),
                              CGColorCreateWithPattern(CGColorSpaceCreatePattern(), tile, {1})));
        CARenderer renderer({8, 8}, 1);
        const CALayer* layers[] = {root.get()};
        renderer.render(layers, RunLoop::main().now());
        const auto image = renderer.image();
        EXPECT_EQ(renderer.statistics().occluded, opaque ? 1u : 0u);
        EXPECT_EQ(at(image, 0, 0), kGreen);
        EXPECT_EQ(at(image, 3, 3), opaque ? kGreen : kRed);
    }
}

}  // namespace
