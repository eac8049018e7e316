#include "ViewsTestSupport.h"

#include "platform/graphics/CGContext.h"
#include "platform/quartz/CAFilter.h"
#include "platform/quartz/CALayer.h"
#include "platform/quartz/CARenderer.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <unistd.h>

#include <fstream>
#include <numbers>
#include <vector>

namespace {

const CGImagePixel kRed{255, 0, 0, 255}, kBlue{0, 0, 255, 255}, kBlack{0, 0, 0, 255},
    kWhite{255, 255, 255, 255};

CGColorRef rgb(float r, float g, float b, float a = 1) {
    return CGColorCreate(CGColorSpaceCreateDeviceRGB(), {r, g, b, a});
}

std::shared_ptr<CALayer> box(CGRect frame, CGColorRef color) {
    auto layer = CALayer::layer();
    layer->setBounds({{0, 0}, frame.size});
    layer->setFrame(frame);
    layer->setBackgroundColor(std::move(color));
    return layer;
}

CGImageRef draw(CARenderer& renderer, const CALayer& layer) {
    const CALayer* layers[] = {&layer};
    renderer.render(layers, RunLoop::main().now());
    return renderer.image();
}

CGImagePixel at(const CGImageRef& image, size_t x, size_t y) {
    return CGImageGetPixelForTesting(image, x, y);
}

bool samePixels(const CGImageRef& a, const CGImageRef& b) {
    if (CGImageGetWidth(a) != CGImageGetWidth(b) || CGImageGetHeight(a) != CGImageGetHeight(b)) {
        return false;
    }
    for (size_t y = 0; y < CGImageGetHeight(a); ++y) {
        for (size_t x = 0; x < CGImageGetWidth(a); ++x) {
            if (!(at(a, x, y) == at(b, x, y))) return false;
        }
    }
    return true;
}

TEST(CARenderer, DrawsBackgroundsBackToFrontAndSkipsHiddenLayers) {
    auto root = box({0, 0, 4, 4}, rgb(1, 0, 0));
    auto front = box({2, 0, 2, 2}, rgb(0, 0, 1));
    auto hidden = box({0, 2, 2, 2}, rgb(0, 1, 0));
    hidden->setHidden(true);
    root->addSublayer(front);
    root->addSublayer(hidden);
    CARenderer renderer({4, 4}, 1);
    const auto image = draw(renderer, *root);
    EXPECT_EQ(at(image, 3, 0), kBlue);
    EXPECT_EQ(at(image, 1, 1), kRed);
    EXPECT_EQ(at(image, 0, 3), kRed);
}

TEST(CARenderer, AppliesTransformsAboutTheAnchorAndTheScreenScale) {
    // A 4 × 2 bar turned a quarter about its centre (2, 1) becomes 2 × 4 around the same centre.
    auto root = box({0, 0, 4, 4}, rgb(0, 0, 0));
    auto bar = box({0, 0, 4, 2}, rgb(1, 1, 1));
    bar->setAffineTransform(CGAffineTransformMakeRotation(std::numbers::pi_v<float> / 2));
    bar->setPosition({2, 2});
    root->addSublayer(bar);
    CARenderer renderer({4, 4}, 2);  // 8 × 8 pixels
    const auto image = draw(renderer, *root);
    EXPECT_EQ(CGImageGetWidth(image), 8u);
    EXPECT_EQ(at(image, 3, 0), kWhite);
    EXPECT_EQ(at(image, 4, 7), kWhite);
    EXPECT_EQ(at(image, 0, 4), kBlack);
    EXPECT_EQ(at(image, 7, 3), kBlack);
}

TEST(CARenderer, FadesALayerWithSeveralThingsToDrawAsOneGroup) {
    auto root = box({0, 0, 2, 1}, rgb(0, 0, 0));
    auto group = box({0, 0, 2, 1}, rgb(1, 0, 0));
    group->addSublayer(box({0, 0, 1, 1}, rgb(0, 0, 1)));
    group->setOpacity(0.5f);
    root->addSublayer(group);
    CARenderer renderer({2, 1}, 1);
    const auto image = draw(renderer, *root);
    // Blue covers red inside the group, so no red shows through the fade.
    EXPECT_NEAR(at(image, 0, 0).b, 128, 1);
    EXPECT_EQ(at(image, 0, 0).r, 0);
    EXPECT_NEAR(at(image, 1, 0).r, 128, 1);
}

TEST(CARenderer, ClipsSublayersToBoundsWhenAsked) {
    for (bool masks : {false, true}) {
        auto root = box({0, 0, 4, 4}, rgb(0, 0, 0));
        auto clipper = box({0, 0, 2, 2}, rgb(1, 0, 0));
        clipper->setMasksToBounds(masks);
        clipper->addSublayer(box({1, 1, 3, 3}, rgb(0, 0, 1)));
        root->addSublayer(clipper);
        CARenderer renderer({4, 4}, 1);
        const auto image = draw(renderer, *root);
        EXPECT_EQ(at(image, 1, 1), kBlue);
        EXPECT_EQ(at(image, 3, 3), masks ? kBlack : kBlue) << masks;
    }
}

// A 2 × 1 image (black, white) drawn over black, moved along x.
TEST(CARenderer, DrawsImagesPixelForPixelAtRestAndBlendsFractionalMoves) {
    const std::vector<CGImagePixel> pixels = {kBlack, kWhite};
    const auto picture = CGImageCreateWithPixels(2, 1, pixels);
    struct Case {
        float x;
        uint8_t expected[4];
    } cases[] = {
        {0, {0, 255, 0, 0}},
        {1, {0, 0, 255, 0}},
        {1.5f, {0, 0, 128, 128}},
        {1.25f, {0, 0, 191, 64}},
    };
    for (const Case& c : cases) {
        auto root = box({0, 0, 4, 1}, rgb(0, 0, 0));
        auto image = CALayer::layer();
        image->setBounds({0, 0, 2, 1});
        image->setFrame({c.x, 0, 2, 1});
        image->setContents(picture);
        root->addSublayer(image);
        CARenderer renderer({4, 1}, 1);
        const auto out = draw(renderer, *root);
        for (size_t x = 0; x < 4; ++x) {
            EXPECT_NEAR(at(out, x, 0).r, c.expected[x], 1) << "move " << c.x << " pixel " << x;
        }
        EXPECT_EQ(renderer.statistics().fast, renderer.statistics().drawn);
    }
}

TEST(CARenderer, ScalesImagesToFillTheirBounds) {
    auto layer = CALayer::layer();
    layer->setBounds({0, 0, 4, 4});
    layer->setPosition({2, 2});
    layer->setContents(solidImage(1, 1, {0, 255, 0, 255}));
    CARenderer renderer({4, 4}, 1);
    const auto image = draw(renderer, *layer);
    EXPECT_EQ(at(image, 0, 0), (CGImagePixel{0, 255, 0, 255}));
    EXPECT_EQ(at(image, 3, 3), (CGImagePixel{0, 255, 0, 255}));
}

TEST(CARenderer, KeepsTheStillPartOfTheSceneAndStillDrawsTheSamePixels) {
    auto root = box({0, 0, 8, 8}, rgb(0.2f, 0.2f, 0.2f));
    root->addSublayer(box({0, 0, 3, 3}, rgb(1, 0, 0)));
    auto moving = box({4, 4, 2, 2}, rgb(0, 0, 1, 0.5f));
    root->addSublayer(moving);
    CARenderer kept({8, 8}, 1);
    draw(kept, *root);
    moving->setPosition({3.5f, 6});
    draw(kept, *root);  // the run that held still is kept from here on
    moving->setPosition({2.5f, 6.5f});
    const auto image = draw(kept, *root);
    EXPECT_GT(kept.statistics().fromCache, 0u);
    CARenderer fresh({8, 8}, 1);
    EXPECT_TRUE(samePixels(image, draw(fresh, *root)));
}

// The image of a frame holds the renderer's bitmap itself: asked for again, it is the same image;
// kept, it keeps its pixels while the frames after it are drawn (into a bitmap of their own),
// and those frames are the pixels a fresh renderer draws.
TEST(CARenderer, AnImageOfAFrameKeepsItsPixelsWhileLaterFramesAreDrawn) {
    auto root = box({0, 0, 4, 4}, rgb(1, 0, 0));
    auto moving = box({0, 0, 2, 2}, rgb(0, 0, 1));
    root->addSublayer(moving);
    CARenderer renderer({4, 4}, 1);
    const auto first = draw(renderer, *root);
    EXPECT_EQ(renderer.image(), first);
    moving->setPosition({3, 3});
    const auto second = draw(renderer, *root);
    EXPECT_EQ(at(first, 0, 0), kBlue);
    EXPECT_EQ(at(first, 3, 3), kRed);
    EXPECT_EQ(at(second, 0, 0), kRed);
    EXPECT_EQ(at(second, 3, 3), kBlue);
    for (int frame = 0; frame < 3; ++frame) {
        moving->setPosition({1.5f + 0.5f * float(frame), 2});
        const auto drawn = draw(renderer, *root);
        CARenderer fresh({4, 4}, 1);
        EXPECT_TRUE(samePixels(drawn, draw(fresh, *root))) << frame;
    }
}

// The address space the process has mapped, in bytes.
size_t mappedBytes() {
    std::ifstream statm("/proc/self/statm");
    size_t pages = 0;
    statm >> pages;
    return pages * size_t(sysconf(_SC_PAGESIZE));
}

// Short of memory for a new bitmap while the image of the last frame is held, a frame is not
// drawn (the held image keeps its pixels and stays the renderer's image), and the next frame,
// with memory again, is.
TEST(CARenderer, AFrameWithoutMemoryForItsBitmapIsLeftOutAndTheNextIsDrawn) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "a sanitizer needs more address space than the limit leaves";
#endif
    auto screen = box({0, 0, 1290, 1400}, rgb(1, 0, 0));
    CARenderer renderer({1290, 1400}, 1);
    CGImageRef held = draw(renderer, *screen);
    screen->setBackgroundColor(rgb(0, 0, 1));
    rlimit limit{};
    ASSERT_EQ(getrlimit(RLIMIT_AS, &limit), 0);
    rlimit tight = limit;
    tight.rlim_cur = mappedBytes() + (size_t{4} << 20);  // less than a bitmap
    ASSERT_EQ(setrlimit(RLIMIT_AS, &tight), 0);
    const CALayer* layers[] = {screen.get()};
    renderer.render(layers, RunLoop::main().now());
    const CGImageRef duringShortage = renderer.image();
    ASSERT_EQ(setrlimit(RLIMIT_AS, &limit), 0);
    EXPECT_EQ(duringShortage, held);
    EXPECT_EQ(at(held, 5, 5), kRed);
    held = nullptr;
    EXPECT_EQ(at(draw(renderer, *screen), 5, 5), kBlue);
}

// A layer of `side` × `side` points showing `image`, and nothing else.
std::shared_ptr<CALayer> imageLayer(float side, CGImageRef image) {
    auto layer = CALayer::layer();
    layer->setBounds({0, 0, side, side});
    layer->setPosition({side / 2, side / 2});
    layer->setContents(std::move(image));
    return layer;
}

// A page peeled off the kept still part of the scene, laid over it in one pass, and the same
// page over a picture that covers the screen, drawn as a pair with it: each frame as a renderer
// that keeps nothing draws it, at every stage of the peel and in every direction.
TEST(CARenderer, PeelsAPageOffWhatHeldStillWithTheSamePixels) {
    constexpr float kSide = 48;
    std::vector<CGImagePixel> detail;
    for (int i = 0; i < 48 * 48; ++i) {
        detail.push_back({uint8_t(i * 7), uint8_t(i / 48 * 5), uint8_t(i % 48 * 3), 255});
    }
    const auto picture = CGImageCreateWithPixels(48, 48, detail);
    for (bool overPicture : {false, true}) {
        auto root = box({0, 0, kSide, kSide}, rgb(0.2f, 0.3f, 0.4f));
        if (overPicture) {
            root->addSublayer(imageLayer(kSide, solidImage(48, 48, kBlue)));
        } else {
            root->addSublayer(box({0, 0, 20, 30}, rgb(1, 0, 0)));
            root->addSublayer(box({10, 25, 30, 20}, rgb(0, 1, 0, 0.5f)));
        }
        auto page = imageLayer(kSide, picture);
        root->addSublayer(page);
        auto curl = CAFilter::filterWithType(kCAFilterPageCurl);
        curl->setDefaults();
        CARenderer kept({kSide, kSide}, 1);
        for (const double degrees : {180.0, -135.0, 30.0, 90.0}) {
            for (const double time : {0.0, 0.3, 0.6, 0.95, 1.0}) {
                curl->setValue(degrees * std::numbers::pi / 180, "inputAngle");
                curl->setValue(time, "inputTime");
                page->setFilters({curl});
                const auto image = draw(kept, *root);
                CARenderer fresh({kSide, kSide}, 1);
                EXPECT_TRUE(samePixels(image, draw(fresh, *root)))
                    << "over a picture " << overPicture << ", " << degrees << " degrees, time "
                    << time;
                EXPECT_EQ(kept.statistics().fast, kept.statistics().drawn);
            }
        }
        if (!overPicture) {
            EXPECT_GT(kept.statistics().fromCache, 0u);
        }
    }
}

TEST(CARenderer, SkipsWhatLiesUnderAnOpaqueFullScreenImage) {
    auto root = box({0, 0, 4, 4}, rgb(1, 0, 0));
    auto cover = CALayer::layer();
    cover->setBounds({0, 0, 4, 4});
    cover->setPosition({2, 2});
    cover->setContents(solidImage(4, 4, kBlue));
    root->addSublayer(cover);
    CARenderer renderer({4, 4}, 1);
    const auto image = draw(renderer, *root);
    EXPECT_EQ(renderer.statistics().occluded, 1u);
    EXPECT_EQ(at(image, 0, 0), kBlue);
}

TEST(CARenderer, RendersALayerIntoAContextFromItsBoundsOrigin) {
    auto layer = box({50, 50, 4, 4}, rgb(0, 0, 0));
    layer->setBounds({2, 2, 4, 4});  // its own coordinates start at (2, 2)
    auto dot = box({2, 2, 1, 1}, rgb(1, 1, 1));
    layer->addSublayer(dot);
    auto context = CGBitmapContextCreate(4, 4);
    // UIKit's space: y grows downward.
    CGContextTranslateCTM(context, 0, 4);
    CGContextScaleCTM(context, 1, -1);
    layer->renderInContext(context);
    const auto image = CGBitmapContextCreateImage(context);
    EXPECT_EQ(at(image, 0, 0), kWhite);
    EXPECT_EQ(at(image, 1, 1), kBlack);
}

}  // namespace
