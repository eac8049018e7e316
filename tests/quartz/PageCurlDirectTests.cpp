// The page curl laid straight into a target's pixels, held to the same curl drawn apart and
// painted through cairo: the two ways round differently, by a level or two, no more.

#include "platform/graphics/CairoOwners.h"
#include "platform/quartz/CAPageCurl.h"

#include <gtest/gtest.h>

#include <cairo.h>

#include <algorithm>
#include <cstdlib>
#include <numbers>
#include <string>
#include <vector>

namespace {

constexpr double kPi = std::numbers::pi;
constexpr int kWidth = 150, kHeight = 200;

// What the fast paths are told of a source that is, or is not, opaque throughout.
CAPixelSource sourceOf(bool opaque) {
    return opaque ? CAPixelSource::Opaque : CAPixelSource::Translucent;
}

CAPixelBuffer pixelsOf(cairo_surface_t* surface) {
    return {reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(surface)),
            cairo_image_surface_get_width(surface), cairo_image_surface_get_height(surface),
            cairo_image_surface_get_stride(surface) / 4};
}

// A surface with detail in every pixel, opaque or with alpha varying from pixel to pixel.
CairoSurfacePtr picture(unsigned seed, bool opaque, int width = kWidth, int height = kHeight) {
    CairoSurfacePtr surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height));
    cairo_surface_flush(surface.get());
    const CAPixelBuffer pixels = pixelsOf(surface.get());
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const unsigned a = opaque ? 255 : 90 + (x * 7 + y * 3) % 166;
            auto c = [&](unsigned v) { return (v % 256) * a / 255; };
            pixels.row(y)[x] = (a << 24) | (c(x * 3 + seed) << 16) | (c(y * 5 + seed) << 8) |
                               c(((x / 9) ^ (y / 9)) * 40 + seed);
        }
    }
    cairo_surface_mark_dirty(surface.get());
    return surface;
}

std::vector<uint32_t> pixelsIn(cairo_surface_t* surface) {
    cairo_surface_flush(surface);
    const CAPixelBuffer pixels = pixelsOf(surface);
    std::vector<uint32_t> out;
    for (int y = 0; y < kHeight; ++y) out.insert(out.end(), pixels.row(y), pixels.row(y) + kWidth);
    return out;
}

int channelDifference(uint32_t a, uint32_t b) {
    int most = 0;
    for (int c = 0; c < 32; c += 8) {
        most = std::max(most, std::abs(int((a >> c) & 0xFF) - int((b >> c) & 0xFF)));
    }
    return most;
}

TEST(CAPageCurl, LaysTheCurlStraightIntoPixelsAsCairoPaintsIt) {
    struct Page {
        bool opaque;
        double opacity;
    };
    const Page pages[] = {{true, 1}, {true, 0.6}, {false, 1}};
    for (const double angle : {kPi, 0.0, -3 * kPi / 4, 0.4}) {
        for (const double time : {0.25, 0.6, 0.9}) {
            for (const Page& kind : pages) {
                SCOPED_TRACE("angle " + std::to_string(angle) + ", time " + std::to_string(time) +
                             ", opaque " + std::to_string(kind.opaque) + ", opacity " +
                             std::to_string(kind.opacity));
                const CairoSurfacePtr page = picture(90, kind.opaque);
                const CairoSurfacePtr viaCairo = picture(0, true);
                const CairoSurfacePtr direct = picture(0, true);
                CAPageCurlDraw(CairoContextPtr(cairo_create(viaCairo.get())).get(), page.get(),
                               time, angle, kind.opacity);
                cairo_surface_flush(direct.get());
                CAPageCurlDrawPixels(pixelsOf(direct.get()), {0, 0, kWidth, kHeight}, 0, 0,
                                     pixelsOf(page.get()), sourceOf(kind.opaque), time, angle,
                                     int(kind.opacity * 256));
                cairo_surface_mark_dirty(direct.get());
                const std::vector<uint32_t> want = pixelsIn(viaCairo.get()),
                                            got = pixelsIn(direct.get());
                for (size_t i = 0; i < want.size(); ++i) {
                    ASSERT_LE(channelDifference(got[i], want[i]), 4)
                        << "pixel " << i % kWidth << "," << i / kWidth;
                }
            }
        }
    }
}

// A page peeled off a still picture in one pass gives the very pixels of the picture laid down
// first and the page peeled over it, in the clip, and leaves the rest of the target alone: at
// every stage of the peel from untouched to gone, along a side, slanting and straight down, for
// an opaque page, a faded one and a translucent one, and for a page and a clip that do not fill
// the target.
TEST(CAPageCurl, PeelsAPageOffAStillPictureInOnePassAsOverThePictureLaidFirst) {
    struct Page {
        bool opaque;
        double opacity;
    };
    struct Placement {
        CAPixelRect clip;
        int x, y;
    };
    const Page pages[] = {{true, 1}, {true, 0.6}, {false, 1}, {true, 0}};
    const Placement placements[] = {{{0, 0, kWidth, kHeight}, 0, 0},
                                    {{3, 4, kWidth - 2, kHeight - 6}, 7, -5}};
    // The picture reaches past the target on every side.
    const CairoSurfacePtr still = picture(40, true, kWidth + 4, kHeight + 6);
    const CAPixelUnder under{pixelsOf(still.get()), -2, -3};
    for (const double angle : {kPi, -3 * kPi / 4, 0.4, kPi / 2}) {
        for (const double time : {0.0, 0.25, 0.6, 0.9, 1.0}) {
            for (const Page& kind : pages) {
                for (const Placement& at : placements) {
                    SCOPED_TRACE("angle " + std::to_string(angle) + ", time " +
                                 std::to_string(time) + ", opaque " + std::to_string(kind.opaque) +
                                 ", opacity " + std::to_string(kind.opacity) + ", at " +
                                 std::to_string(at.x));
                    const CairoSurfacePtr page = picture(90, kind.opaque);
                    // What the target held before: none of it may show in the clip.
                    const CairoSurfacePtr onePass = picture(7, false);
                    const CairoSurfacePtr laidFirst = picture(7, false);
                    const int alpha = int(kind.opacity * 256);
                    const CAPixelSource source = sourceOf(kind.opaque);
                    CAPageCurlDrawPixelsOver(pixelsOf(onePass.get()), at.clip, at.x, at.y,
                                             pixelsOf(page.get()), source, time, angle, alpha,
                                             under);
                    const CAPixelBuffer first = pixelsOf(laidFirst.get());
                    CAPixelDrawImage(first, at.clip, under.picture, CAPixelSource::Opaque, under.x,
                                     under.y, 256);
                    CAPageCurlDrawPixels(first, at.clip, at.x, at.y, pixelsOf(page.get()), source,
                                         time, angle, alpha);
                    ASSERT_EQ(pixelsIn(onePass.get()), pixelsIn(laidFirst.get()));
                }
            }
        }
    }
}

}  // namespace
