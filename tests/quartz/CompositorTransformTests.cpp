// The compositor's pixel fast paths for turned and scaled images: a pinched lock screen over the
// picture beneath it is drawn without cairo, alone or as a pair with that picture.

#include "ViewsTestSupport.h"

#include "platform/quartz/CALayer.h"
#include "platform/quartz/CARenderer.h"

#include <gtest/gtest.h>

namespace {

const CGImagePixel kRed{255, 0, 0, 255}, kBlue{0, 0, 255, 255};

std::shared_ptr<CALayer> imageLayer(CGSize size, CGImageRef image) {
    auto layer = CALayer::layer();
    layer->setBounds({{0, 0}, size});
    layer->setPosition({size.width / 2, size.height / 2});
    layer->setContents(std::move(image));
    return layer;
}

TEST(CARenderer, DrawsTurnedAndScaledImagesByThePixelFastPaths) {
    constexpr float kSize = 40;
    for (bool overPicture : {true, false}) {
        SCOPED_TRACE(overPicture ? "over a picture" : "over a colour");
        auto root = CALayer::layer();
        root->setBounds({{0, 0}, {kSize, kSize}});
        root->setPosition({kSize / 2, kSize / 2});
        if (overPicture) {
            root->addSublayer(imageLayer({kSize, kSize}, solidImage(40, 40, kBlue)));
        } else {
            root->setBackgroundColor(CGColorCreate(CGColorSpaceCreateDeviceRGB(), {0, 0, 1, 1}));
        }
        auto pinched = imageLayer({kSize, kSize}, solidImage(40, 40, kRed));
        pinched->setAffineTransform(
            CGAffineTransformRotate(CGAffineTransformMakeScale(0.7f, 0.7f), 0.3f));
        root->addSublayer(pinched);
        CARenderer renderer({kSize, kSize}, 2);
        const CALayer* layers[] = {root.get()};
        renderer.render(layers, RunLoop::main().now());
        EXPECT_EQ(renderer.statistics().fast, renderer.statistics().drawn);
        const auto image = renderer.image();
        EXPECT_EQ(CGImageGetPixelForTesting(image, 40, 40), kRed);
        EXPECT_EQ(CGImageGetPixelForTesting(image, 20, 60), kRed);
        EXPECT_EQ(CGImageGetPixelForTesting(image, 1, 1), kBlue);
        EXPECT_EQ(CGImageGetPixelForTesting(image, 78, 78), kBlue);
        // Across the turned edge the red fades into the blue.
        const CGImagePixel edge = CGImageGetPixelForTesting(image, 40, 10);
        EXPECT_GT(edge.r, 0);
        EXPECT_GT(edge.b, 0);
    }
}

}  // namespace
