#include "ViewsTestSupport.h"

#include "platform/quartz/CAFilter.h"
#include "platform/quartz/CALayer.h"
#include "platform/quartz/CAPageCurlGeometry.h"
#include "platform/quartz/CARenderer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <numbers>
#include <string>
#include <vector>

namespace {

constexpr double kPi = std::numbers::pi;
const CGImagePixel kRed{255, 0, 0, 255}, kGreen{0, 255, 0, 255}, kBlue{0, 0, 255, 255};

// The page is 120 × 160 points, on a screen of the same size.
constexpr float kWidth = 120, kHeight = 160;

struct Pull {
    const char* name;
    double angle;
};
const Pull kPulls[] = {{"left", kPi}, {"right", 0}, {"up and left", -3 * kPi / 4}};

// What a pixel of the picture shows.
enum class Seen { Beneath, Back, Page, Other };

std::string name(Seen seen) {
    switch (seen) {
        case Seen::Beneath: return "beneath";
        case Seen::Back: return "back";
        case Seen::Page: return "page";
        case Seen::Other: return "other";
    }
    return "?";
}

// A red page (or `page`'s picture) curled at `time` toward `angle` over a blue layer, rendered on
// a screen at `scale`.
CGImageRef renderCurl(double time, double angle, CGFloat scale = 1, CGImageRef page = nullptr) {
    auto beneath = CALayer::layer();
    beneath->setBounds({{0, 0}, {kWidth, kHeight}});
    beneath->setPosition({kWidth / 2, kHeight / 2});
    beneath->setContents(solidImage(size_t(kWidth), size_t(kHeight), kBlue));
    auto sheet = CALayer::layer();
    sheet->setBounds({{0, 0}, {kWidth, kHeight}});
    sheet->setPosition({kWidth / 2, kHeight / 2});
    sheet->setContents(page ? page : solidImage(size_t(kWidth), size_t(kHeight), kRed));
    auto curl = CAFilter::filterWithType(kCAFilterPageCurl);
    curl->setDefaults();
    curl->setValue(time, "inputTime");
    curl->setValue(angle, "inputAngle");
    sheet->setFilters({curl});
    beneath->addSublayer(sheet);
    CARenderer renderer({kWidth, kHeight}, scale);
    const CALayer* layers[] = {beneath.get()};
    renderer.render(layers, RunLoop::main().now());
    return renderer.image();
}

// Blue, however darkened, is the picture beneath; exact red is the page untouched; red lifted
// toward white is the page's back.
Seen classify(CGImagePixel p) {
    if (p == kRed) return Seen::Page;
    if (p.r == 0 && p.g == 0 && p.b > 0) return Seen::Beneath;
    if (p.r > p.g && p.g > 40 && p.b > 40) return Seen::Back;
    return Seen::Other;
}

// Whether every channel of `p` lies within 4 of `q`'s.
bool near(CGImagePixel p, CGImagePixel q) {
    auto close = [](uint8_t a, uint8_t b) { return std::abs(int(a) - int(b)) <= 4; };
    return close(p.r, q.r) && close(p.g, q.g) && close(p.b, q.b) && close(p.a, q.a);
}

// The position of pixel (x, y)'s centre along the pull, as a fraction of the extent along it of
// a `w` × `h` picture: 0 at the trailing edge (or corner), 1 at the leading one.
double alongPull(double w, double h, size_t x, size_t y, double angle) {
    const double ux = std::cos(angle), uy = std::sin(angle);
    const double trailing = std::min(0.0, w * ux) + std::min(0.0, h * uy);
    const double leading = std::max(0.0, w * ux) + std::max(0.0, h * uy);
    return ((double(x) + 0.5) * ux + (double(y) + 0.5) * uy - trailing) / (leading - trailing);
}

// Every pixel of `image` whose position along the pull lies in [from, to] passes `check`; the
// first that does not is reported, and so is a region that holds no pixel at all, where the check
// would say nothing.
void expectRegion(const CGImageRef& image, double angle, double from, double to,
                  const std::function<bool(CGImagePixel)>& check, const std::string& what) {
    const size_t w = CGImageGetWidth(image), h = CGImageGetHeight(image);
    size_t checked = 0;
    for (size_t y = 0; y < h; ++y) {
        for (size_t x = 0; x < w; ++x) {
            const double a = alongPull(double(w), double(h), x, y, angle);
            if (a < from || a > to) continue;
            const CGImagePixel p = CGImageGetPixelForTesting(image, x, y);
            if (!check(p)) {
                ADD_FAILURE() << what << ": pixel (" << x << ", " << y << ") is " << int(p.r) << ","
                              << int(p.g) << "," << int(p.b) << "," << int(p.a);
                return;
            }
            ++checked;
        }
    }
    if (checked == 0) {
        ADD_FAILURE() << what << ": the region from " << from << " to " << to << " holds no pixel";
    }
}

// The pixels met going from (x, y) by steps of (dx, dy), one pixel long, until leaving `image`.
std::vector<CGImagePixel> walk(const CGImageRef& image, double x, double y, double dx, double dy) {
    const double w = double(CGImageGetWidth(image)), h = double(CGImageGetHeight(image));
    std::vector<CGImagePixel> line;
    for (x += 0.5 * dx, y += 0.5 * dy; x >= 0 && y >= 0 && x < w && y < h; x += dx, y += dy) {
        line.push_back(CGImageGetPixelForTesting(image, size_t(x), size_t(y)));
    }
    return line;
}

// Where the pull's trailing edge (its middle) or corner lies on a `size` side of the picture,
// for a pull of `u` along that side; and the leading one.
double trailingOn(double u, double size) {
    return u < -1e-9 ? size : u > 1e-9 ? 0 : size / 2;
}
double leadingOn(double u, double size) {
    return u < -1e-9 ? 0 : u > 1e-9 ? size : size / 2;
}

// The pixels from the trailing edge's middle (or corner) straight along the pull.
std::vector<CGImagePixel> walkAlongPull(const CGImageRef& image, double angle) {
    const double w = double(CGImageGetWidth(image)), h = double(CGImageGetHeight(image));
    const double ux = std::cos(angle), uy = std::sin(angle);
    return walk(image, trailingOn(ux, w), trailingOn(uy, h), ux, uy);
}

// The pixels from the trailing edge's middle (or corner) to the leading one's.
std::vector<CGImagePixel> walkAcross(const CGImageRef& image, double angle) {
    const double w = double(CGImageGetWidth(image)), h = double(CGImageGetHeight(image));
    const double ux = std::cos(angle), uy = std::sin(angle);
    const double x = trailingOn(ux, w), y = trailingOn(uy, h);
    const double dx = leadingOn(ux, w) - x, dy = leadingOn(uy, h) - y;
    const double length = std::hypot(dx, dy);
    return walk(image, x, y, dx / length, dy / length);
}

std::vector<Seen> classifyAll(const std::vector<CGImagePixel>& line) {
    std::vector<Seen> seen;
    for (const CGImagePixel& p : line) seen.push_back(classify(p));
    return seen;
}

TEST(CAPageCurlGeometry, WrapsThePaperRoundTheCylinderWithoutStretchingIt) {
    const double r = 12;
    const double step = 0.01;
    CAPageCurlSpot last = CAPageCurlPlace(0, r);
    EXPECT_DOUBLE_EQ(last.height, 0);
    for (double arc = step; arc <= 2 * kPi * r; arc += step) {
        const CAPageCurlSpot spot = CAPageCurlPlace(arc, r);
        EXPECT_NEAR(std::hypot(spot.along - last.along, spot.height - last.height), step, 1e-6)
            << "at arc " << arc;
        last = spot;
    }
    // A quarter turn reaches the cylinder's trailing side, half a turn its top; from there the
    // paper runs flat, back over the page, at the cylinder's height.
    EXPECT_NEAR(CAPageCurlPlace(kPi * r / 2, r).along, -r, 1e-9);
    EXPECT_NEAR(CAPageCurlPlace(kPi * r, r).along, 0, 1e-9);
    EXPECT_NEAR(CAPageCurlPlace(kPi * r + 5, r).along, 5, 1e-9);
    EXPECT_DOUBLE_EQ(CAPageCurlPlace(kPi * r + 5, r).height, 2 * r);
}

TEST(CAPageCurlGeometry, SeesTheBackOfTheWrappedPaperOverItsFrontFromAbove) {
    const double r = 12;
    for (double along = -2 * r; along <= 2 * r; along += 0.25) {
        const CAPageCurlCover cover = CAPageCurlCoverAt(along, r);
        if (along < -r) {
            EXPECT_FALSE(cover.upperPresent || cover.lowerPresent) << along;
            continue;
        }
        ASSERT_TRUE(cover.upperPresent && cover.lowerPresent) << along;
        const CAPageCurlSpot upper = CAPageCurlPlace(cover.upperArc, r);
        const CAPageCurlSpot lower = CAPageCurlPlace(cover.lowerArc, r);
        EXPECT_NEAR(upper.along, along, 1e-9);
        EXPECT_NEAR(lower.along, along, 1e-9);
        EXPECT_GE(upper.height, lower.height) << along;
        // The upper layer has passed the cylinder's side (a quarter turn or more); the lower has
        // not.
        EXPECT_GE(cover.upperArc, kPi * r / 2 - 1e-9) << along;
        EXPECT_LE(cover.lowerArc, kPi * r / 2 + 1e-9) << along;
    }
}

TEST(CAPageCurl, StartsFromThePageExactlyAndEndsOnWhatLiesBeneathWithoutAJump) {
    struct Moment {
        double time;
        std::function<bool(CGImagePixel)> check;
        const char* what;
    } moments[] = {
        {0, [](CGImagePixel p) { return p == kRed; }, "time 0 shows the page"},
        {0.001, [](CGImagePixel p) { return near(p, kRed); }, "just after 0 the page hardly moves"},
        {0.999, [](CGImagePixel p) { return near(p, kBlue); }, "just before 1 the page has gone"},
        {1, [](CGImagePixel p) { return p == kBlue; }, "time 1 shows what lies beneath"},
    };
    for (const Pull& pull : kPulls) {
        for (CGFloat scale : {1.0f, 2.0f}) {
            for (const Moment& moment : moments) {
                SCOPED_TRACE(std::string(pull.name) + " at scale " + std::to_string(scale));
                expectRegion(renderCurl(moment.time, pull.angle, scale), pull.angle, -1, 2,
                             moment.check, moment.what);
            }
        }
    }
}

TEST(CAPageCurl, PeelsFromTheTrailingEdgeUncoveringThePictureBeneath) {
    // Along the pull, as fractions of the page: from the trailing edge, how much shows the
    // picture beneath untouched (exactly as it is, clear of the page and of its shadow), and how
    // much has surely gone (the picture beneath, however shaded); from the leading edge, how much
    // the curl has surely not reached. There the page lies flat, showing itself until the flap
    // (the part gone round the cylinder, mirrored) grows long enough to cover all of the page
    // that is left, a little after half-way; from then on the flap's back shows there instead.
    struct Stage {
        double time, clear, gone, flat;
        bool flapCoversTheRest;
    } stages[] = {
        {0.25, 0.08, 0.1, 0.4, false},
        {0.5, 0.35, 0.45, 0.05, false},
        {0.6, 0.45, 0.3, 0.3, true},
        {0.9, 0.85, 0.8, 0.015, true},
    };
    auto clear = [](CGImagePixel p) { return p == kBlue; };
    auto beneath = [](CGImagePixel p) { return classify(p) == Seen::Beneath; };
    auto page = [](CGImagePixel p) { return p == kRed; };
    // The paper, nothing of the blue beneath: the flap's back, or where the flap's corner falls
    // short of a corner of the page, the page in the flap's shadow and the edge between.
    auto paper = [](CGImagePixel p) { return p.r > p.b + 40 && p.a == 255; };
    for (const Pull& pull : kPulls) {
        for (CGFloat scale : {1.0f, 2.0f}) {
            for (const Stage& stage : stages) {
                SCOPED_TRACE(std::string(pull.name) + " at time " + std::to_string(stage.time) +
                             ", scale " + std::to_string(scale));
                const auto image = renderCurl(stage.time, pull.angle, scale);
                expectRegion(image, pull.angle, -1, stage.clear, clear,
                             "the picture beneath is untouched");
                expectRegion(image, pull.angle, -1, stage.gone, beneath, "the page has gone");
                if (stage.flapCoversTheRest) {
                    expectRegion(image, pull.angle, 1 - stage.flat, 2, paper,
                                 "the flap lies over the page");
                } else {
                    expectRegion(image, pull.angle, 1 - stage.flat, 2, page,
                                 "the page is untouched");
                }
            }
        }
    }
}

TEST(CAPageCurl, FoldsTheLighterBackOfThePageOverBetweenWhatHasGoneAndWhatHasNot) {
    for (const Pull& pull : kPulls) {
        for (double time : {0.25, 0.6, 0.9}) {
            SCOPED_TRACE(std::string(pull.name) + " at time " + std::to_string(time));
            const std::vector<Seen> seen =
                classifyAll(walkAcross(renderCurl(time, pull.angle), pull.angle));
            ASSERT_FALSE(seen.empty());
            EXPECT_EQ(name(seen.front()), name(Seen::Beneath));
            // From the trailing edge on: the picture beneath, then the back of the page, then
            // the page itself where it still lies flat; never one of them again once passed.
            bool sawBack = false;
            Seen last = Seen::Beneath;
            for (size_t i = 0; i < seen.size(); ++i) {
                if (seen[i] == Seen::Other) continue;
                EXPECT_GE(int(seen[i]), int(last)) << name(seen[i]) << " after " << name(last)
                                                   << " at " << i;
                last = seen[i];
                sawBack = sawBack || seen[i] == Seen::Back;
            }
            EXPECT_TRUE(sawBack);
        }
    }
}

// A red page whose trailing tenth is green.
CGImageRef pageWithGreenTrailingEdge(double angle) {
    const size_t w = size_t(kWidth), h = size_t(kHeight);
    std::vector<CGImagePixel> pixels(w * h);
    for (size_t y = 0; y < h; ++y) {
        for (size_t x = 0; x < w; ++x) {
            pixels[y * w + x] = alongPull(kWidth, kHeight, x, y, angle) < 0.1 ? kGreen : kRed;
        }
    }
    return CGImageCreateWithPixels(w, h, pixels);
}

TEST(CAPageCurl, MirrorsThePageOnTheFlapSoThatItsTrailingEdgeLiesFarthestAlong) {
    auto greenBack = [](CGImagePixel p) { return p.g > p.r + 40 && p.r > 40 && p.b > 40; };
    for (const Pull& pull : kPulls) {
        SCOPED_TRACE(pull.name);
        const auto image = renderCurl(0.45, pull.angle, 1, pageWithGreenTrailingEdge(pull.angle));
        const std::vector<CGImagePixel> line = walkAlongPull(image, pull.angle);
        // The back of the red shows first going along the pull, over the cylinder and the flap;
        // the back of the green trailing edge only at the flap's far end.
        size_t lastRed = 0, firstGreen = line.size();
        for (size_t i = 0; i < line.size(); ++i) {
            if (classify(line[i]) == Seen::Back) lastRed = i;
            if (greenBack(line[i])) firstGreen = std::min(firstGreen, i);
        }
        ASSERT_LT(firstGreen, line.size()) << "no back of the trailing edge";
        EXPECT_GT(lastRed, 0u) << "no back of the rest";
        EXPECT_LT(lastRed, firstGreen);
    }
}

TEST(CAPageCurl, ShadesTheBendAndCastsASoftShadowOnThePictureBeneath) {
    for (const Pull& pull : kPulls) {
        SCOPED_TRACE(pull.name);
        const std::vector<CGImagePixel> line = walkAcross(renderCurl(0.6, pull.angle), pull.angle);
        size_t i = 0;
        // The picture beneath darkens, never lightens, toward the cylinder.
        ASSERT_EQ(line[0], kBlue);
        for (; i + 1 < line.size() && classify(line[i + 1]) == Seen::Beneath; ++i) {
            EXPECT_LE(line[i + 1].b, line[i].b) << i;
        }
        EXPECT_LT(line[i].b, 200) << "no shadow next to the cylinder";
        // The back of the paper turning away at the cylinder's side (past the pixel that its
        // edge only partly covers) is darker than on the flap.
        while (i < line.size() && classify(line[i]) != Seen::Back) ++i;
        ASSERT_LT(++i, line.size());
        int side = line[i].r + line[i].g + line[i].b, brightest = side;
        for (; i < line.size(); ++i) {
            if (classify(line[i]) == Seen::Back) {
                brightest = std::max(brightest, line[i].r + line[i].g + line[i].b);
            }
        }
        EXPECT_LT(side + 60, brightest);
    }
}

// Late in a peel the paper that casts the side shadow runs out near the page's corners, and the
// shadow fades there with how much is missing: everywhere the picture beneath shows, the shadow
// changes smoothly from pixel to pixel, along rows and down columns, without a seam where the
// paper runs out.
TEST(CAPageCurl, TheSideShadowFadesSmoothlyWhereThePaperThatCastsItRunsOut) {
    for (const Pull& pull : kPulls) {
        for (const double time : {0.4, 0.7, 0.9}) {
            SCOPED_TRACE(testing::Message() << pull.name << " at " << time);
            const CGImageRef image = renderCurl(time, pull.angle);
            const size_t w = CGImageGetWidth(image), h = CGImageGetHeight(image);
            int steepest = 0, shaded = 0;
            for (size_t y = 0; y + 1 < h; ++y) {
                for (size_t x = 0; x + 1 < w; ++x) {
                    const CGImagePixel p = CGImageGetPixelForTesting(image, x, y);
                    if (classify(p) != Seen::Beneath) continue;
                    shaded += p.b < 250;
                    for (const CGImagePixel q : {CGImageGetPixelForTesting(image, x + 1, y),
                                                 CGImageGetPixelForTesting(image, x, y + 1)}) {
                        if (classify(q) == Seen::Beneath) {
                            steepest = std::max(steepest, std::abs(int(p.b) - int(q.b)));
                        }
                    }
                }
            }
            EXPECT_GT(shaded, 100);
            // Next to the cylinder the shadow deepens by up to about 17 a pixel; a seam is more.
            EXPECT_LE(steepest, 20);
        }
    }
}

}  // namespace
