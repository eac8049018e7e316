// The pixel fast path for turned and scaled images, held to cairo's own bilinear paint of the
// same image clipped to its rectangle: the same pixels within 3 levels away from the image's
// edges (4 for a translucent image), and within 16 on the edges, whose smoothing cairo works out
// from its own rasterised coverage.

#include "platform/graphics/CairoOwners.h"
#include "platform/quartz/CAPixelBlit.h"

#include <gtest/gtest.h>

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <utility>
#include <vector>

namespace {

// What the fast paths are told of a source that is, or is not, opaque throughout.
CAPixelSource sourceOf(bool opaque) {
    return opaque ? CAPixelSource::Opaque : CAPixelSource::Translucent;
}

// A cairo image surface of premultiplied pixels with detail everywhere; `opaque` or with
// varying alpha.
struct Surface {
    Surface(int w, int h, unsigned seed, bool opaque)
        : surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h)) {
        cairo_surface_flush(surface.get());
        buffer = {reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(surface.get())), w, h,
                  cairo_image_surface_get_stride(surface.get()) / 4};
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                const unsigned a = opaque ? 255 : 60 + (x * 37 + y * 11 + seed) % 196;
                auto c = [&](unsigned v) { return (v % 256) * a / 255; };
                buffer.row(y)[x] = (a << 24) | (c(x * 9 + seed) << 16) | (c(y * 13 + seed) << 8) |
                                   c((x ^ y) * 5 + seed);
            }
        }
        cairo_surface_mark_dirty(surface.get());
    }

    std::vector<uint32_t> pixels() const {
        std::vector<uint32_t> out;
        for (int y = 0; y < buffer.height; ++y) {
            out.insert(out.end(), buffer.row(y), buffer.row(y) + buffer.width);
        }
        return out;
    }
    void setPixels(const std::vector<uint32_t>& from) {
        cairo_surface_flush(surface.get());
        for (int y = 0; y < buffer.height; ++y) {
            std::copy_n(from.begin() + y * buffer.width, buffer.width, buffer.row(y));
        }
        cairo_surface_mark_dirty(surface.get());
    }

    CairoSurfacePtr surface;
    CAPixelBuffer buffer;
};

// An image placed by turning it by `turn`, scaling it by (sx, sy) and putting its centre at
// (cx, cy) of the target; drawn at opacity alpha/256.
struct Placement {
    double turn, sx, sy, cx, cy;
    int alpha;
    bool opaque;
};

cairo_matrix_t imageToTarget(const Placement& p, int w, int h) {
    cairo_matrix_t m;
    cairo_matrix_init_translate(&m, p.cx, p.cy);
    cairo_matrix_rotate(&m, p.turn);
    cairo_matrix_scale(&m, p.sx, p.sy);
    cairo_matrix_translate(&m, -w / 2.0, -h / 2.0);
    return m;
}

CAPixelAffine targetToImage(cairo_matrix_t m) {
    cairo_matrix_invert(&m);
    return {m.xx, m.yx, m.xy, m.yy, m.x0, m.y0};
}

// How a target pixel's square lies over the image: wholly inside it, at least half a source
// pixel in from its edges (so that no sample is clamped), wholly outside, or across its edge.
enum class Where { Inside, Outside, Edge };

Where where(const cairo_matrix_t& toImage, int x, int y, int w, int h) {
    double lo[2] = {1e9, 1e9}, hi[2] = {-1e9, -1e9};
    for (double cx : {0.0, 1.0}) {
        for (double cy : {0.0, 1.0}) {
            double u = x + cx, v = y + cy;
            cairo_matrix_transform_point(&toImage, &u, &v);
            lo[0] = std::min(lo[0], u), hi[0] = std::max(hi[0], u);
            lo[1] = std::min(lo[1], v), hi[1] = std::max(hi[1], v);
        }
    }
    if (lo[0] >= 0.5 && lo[1] >= 0.5 && hi[0] <= w - 0.5 && hi[1] <= h - 0.5) return Where::Inside;
    if (hi[0] <= 0 || hi[1] <= 0 || lo[0] >= w || lo[1] >= h) return Where::Outside;
    return Where::Edge;
}

// Paints `image` onto `target` through `m`, bilinearly, clipped to the image's rectangle, at
// opacity alpha/256, as cairo itself draws it.
void paintViaCairo(const Surface& target, const Surface& image, const cairo_matrix_t& m,
                   int alpha) {
    const CairoContextPtr context(cairo_create(target.surface.get()));
    cairo_t* cr = context.get();
    cairo_set_matrix(cr, &m);
    cairo_rectangle(cr, 0, 0, image.buffer.width, image.buffer.height);
    cairo_clip(cr);
    cairo_set_source_surface(cr, image.surface.get(), 0, 0);
    cairo_pattern_set_extend(cairo_get_source(cr), CAIRO_EXTEND_PAD);
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_BILINEAR);
    cairo_paint_with_alpha(cr, alpha / 256.0);
}

int channelDifference(uint32_t a, uint32_t b) {
    int most = 0;
    for (int c = 0; c < 32; c += 8) {
        most = std::max(most, std::abs(int((a >> c) & 0xFF) - int((b >> c) & 0xFF)));
    }
    return most;
}

TEST(CAPixelBlitTransformed, MatchesCairosBilinearPaintOfATurnedAndScaledImage) {
    constexpr int kW = 61, kH = 43, kTW = 120, kTH = 110;
    const Placement cases[] = {
        {0.3, 0.7, 0.7, 60.3, 55.1, 256, true},  {-1.1, 1.6, 1.6, 58.0, 52.5, 256, true},
        {2.5, 0.55, 1.3, 61.7, 54.2, 200, true}, {0.8, 1.0, 1.0, 60.0, 55.0, 256, false},
        {0.0, -0.9, 1.2, 59.4, 56.6, 256, true}, {3.9, 1.2, -0.75, 60.2, 54.9, 120, false},
        {0.0, 2.0, 2.0, 60.5, 55.25, 256, true},
    };
    for (const Placement& c : cases) {
        SCOPED_TRACE("case " + std::to_string(&c - cases));
        Surface image(kW, kH, 7, c.opaque);
        Surface viaCairo(kTW, kTH, 90, true), fast(kTW, kTH, 90, true);
        const std::vector<uint32_t> before = fast.pixels();
        const cairo_matrix_t m = imageToTarget(c, kW, kH);

        paintViaCairo(viaCairo, image, m, c.alpha);
        cairo_surface_flush(viaCairo.surface.get());

        CAPixelDrawImageTransformed(fast.buffer, {0, 0, kTW, kTH}, image.buffer, sourceOf(c.opaque),
                                    targetToImage(m), c.alpha);

        cairo_matrix_t toImage = m;
        cairo_matrix_invert(&toImage);
        const std::vector<uint32_t> want = viaCairo.pixels(), got = fast.pixels();
        // A translucent image's blend over the picture rounds one level further from cairo's,
        // which divides by 255 where the fast paths scale by 256ths.
        const int inside = c.opaque ? 3 : 4;
        int worstEdge = 0, edges = 0;
        for (int y = 0; y < kTH; ++y) {
            for (int x = 0; x < kTW; ++x) {
                const size_t i = size_t(y * kTW + x);
                const int difference = channelDifference(got[i], want[i]);
                switch (where(toImage, x, y, kW, kH)) {
                    case Where::Inside:
                        ASSERT_LE(difference, inside) << "inside, pixel " << x << "," << y;
                        break;
                    case Where::Outside:
                        ASSERT_EQ(got[i], before[i]) << "outside, pixel " << x << "," << y;
                        break;
                    case Where::Edge:
                        worstEdge = std::max(worstEdge, difference);
                        ++edges;
                        break;
                }
            }
        }
        ASSERT_GT(edges, 0);
        EXPECT_LE(worstEdge, 16);
    }
}

// The part of target pixel (x, y)'s square that a w × h image's rectangle covers, exactly: the
// square carried into the image (a parallelogram), clipped to the rectangle, as a share of the
// parallelogram's own area. Sets `corner` where the square meets both pairs of the image's edges.
double exactCover(const cairo_matrix_t& toImage, int x, int y, int w, int h, bool& corner) {
    struct Point {
        double u, v;
    };
    std::vector<Point> shape;
    for (const auto& [cx, cy] : {std::pair{0, 0}, {1, 0}, {1, 1}, {0, 1}}) {
        Point p{double(x + cx), double(y + cy)};
        cairo_matrix_transform_point(&toImage, &p.u, &p.v);
        shape.push_back(p);
    }
    auto area = [](const std::vector<Point>& polygon) {
        double twice = 0;
        for (size_t i = 0; i < polygon.size(); ++i) {
            const Point &a = polygon[i], &b = polygon[(i + 1) % polygon.size()];
            twice += a.u * b.v - b.u * a.v;
        }
        return std::fabs(twice) / 2;
    };
    const double whole = area(shape);
    auto straddles = [&](auto coordinate, double edge) {
        bool below = false, above = false;
        for (const Point& p : shape) (coordinate(p) < edge ? below : above) = true;
        return below && above;
    };
    auto u = [](const Point& p) { return p.u; };
    auto v = [](const Point& p) { return p.v; };
    corner = (straddles(u, 0) || straddles(u, w)) && (straddles(v, 0) || straddles(v, h));
    // Clipped to each of the rectangle's four half-planes in turn, given as a signed distance.
    const std::function<double(const Point&)> insides[] = {
        [](const Point& p) { return p.u; }, [w](const Point& p) { return w - p.u; },
        [](const Point& p) { return p.v; }, [h](const Point& p) { return h - p.v; }};
    for (const auto& inside : insides) {
        std::vector<Point> clipped;
        for (size_t i = 0; i < shape.size(); ++i) {
            const Point &a = shape[i], &b = shape[(i + 1) % shape.size()];
            const double da = inside(a), db = inside(b);
            if (da >= 0) clipped.push_back(a);
            if ((da < 0) != (db < 0)) {
                const double t = da / (da - db);
                clipped.push_back({a.u + t * (b.u - a.u), a.v + t * (b.v - a.v)});
            }
        }
        shape = std::move(clipped);
        if (shape.empty()) return 0;
    }
    return area(shape) / whole;
}

// A white image over black shows how much of each pixel the image covers: every pixel whose
// square meets one edge of the image is as bright as the part of it the image covers, to within
// the rounding of a 256th and of a channel, and every one it misses is left as it was; where the
// square meets two edges at a corner it is as bright to within a few hundredths.
TEST(CAPixelBlitTransformed, EdgePixelsAreCoveredAsMuchAsTheirSquaresAre) {
    constexpr int kW = 31, kH = 23, kTW = 70, kTH = 64;
    Surface white(kW, kH, 0, true);
    std::vector<uint32_t> ones(size_t(kW * kH), 0xFFFFFFFFu);
    white.setPixels(ones);
    const Placement cases[] = {
        {0.3, 0.7, 0.7, 35.3, 32.1, 256, true},
        {1.5707963267948966, 1.0, 1.3, 34.6, 31.2, 256, true},
        {1e-13, 1.1, 0.9, 35.25, 32.5, 256, true},
        {-2.2, 1.9, 1.7, 34.9, 31.8, 256, true},
        {0.05, 0.35, 0.4, 35.5, 32.0, 256, true},
        {2.9, -1.2, 0.8, 34.2, 30.7, 256, true},
    };
    for (const Placement& c : cases) {
        SCOPED_TRACE("case " + std::to_string(&c - cases));
        const cairo_matrix_t m = imageToTarget(c, kW, kH);
        cairo_matrix_t toImage = m;
        cairo_matrix_invert(&toImage);
        std::vector<uint32_t> target(size_t(kTW * kTH), 0xFF000000u);
        CAPixelDrawImageTransformed({target.data(), kTW, kTH, kTW}, {0, 0, kTW, kTH}, white.buffer,
                                    CAPixelSource::Opaque, targetToImage(m), 256);
        int partial = 0;
        for (int y = 0; y < kTH; ++y) {
            for (int x = 0; x < kTW; ++x) {
                bool corner = false;
                const double want = exactCover(toImage, x, y, kW, kH, corner);
                const double got = double(target[size_t(y * kTW + x)] & 0xFF) / 255;
                if (corner) {
                    // Where the square meets both pairs of edges its cover is the product of
                    // the two pairs' covers, near enough.
                    ASSERT_NEAR(got, want, 0.05) << x << "," << y;
                } else if (want <= 0) {
                    ASSERT_EQ(target[size_t(y * kTW + x)], 0xFF000000u) << x << "," << y;
                } else {
                    ASSERT_NEAR(got, want, 0.01) << x << "," << y;
                    partial += want < 1;
                }
            }
        }
        EXPECT_GT(partial, 20);
    }
}

// Over a picture below, every pixel of the clip is written once, as if the picture had been
// copied there first; nothing outside the clip changes.
TEST(CAPixelBlitTransformed, DrawsOverAPictureBelowAsIfItHadBeenCopiedFirst) {
    constexpr int kW = 30, kH = 20, kTW = 50, kTH = 40;
    Surface image(kW, kH, 3, true), under(kTW, kTH, 40, true);
    const Placement placements[] = {{0.4, 0.9, 0.9, 25.3, 20.2, 256, true},
                                    {-2.0, 1.4, 0.8, 10.0, 12.0, 180, true},
                                    {1.0, 0.8, 0.8, -30.0, 20.0, 256, true}};
    const CAPixelRect clip{3, 2, 46, 37};
    for (const Placement& p : placements) {
        SCOPED_TRACE("placement " + std::to_string(&p - placements));
        const CAPixelAffine toImage = targetToImage(imageToTarget(p, kW, kH));
        Surface once(kTW, kTH, 70, true), twice(kTW, kTH, 70, true);
        const std::vector<uint32_t> before = once.pixels();
        CAPixelDrawImageTransformedOver(once.buffer, clip, image.buffer, CAPixelSource::Opaque,
                                        toImage, p.alpha, under.buffer, 0, 0);
        std::vector<uint32_t> copied = before;
        const std::vector<uint32_t> picture = under.pixels();
        for (int y = clip.y0; y < clip.y1; ++y) {
            for (int x = clip.x0; x < clip.x1; ++x) {
                copied[size_t(y * kTW + x)] = picture[size_t(y * kTW + x)];
            }
        }
        twice.setPixels(copied);
        CAPixelDrawImageTransformed(twice.buffer, clip, image.buffer, CAPixelSource::Opaque,
                                    toImage, p.alpha);
        EXPECT_EQ(once.pixels(), twice.pixels());
        const std::vector<uint32_t> after = once.pixels();
        for (int y = 0; y < kTH; ++y) {
            for (int x = 0; x < kTW; ++x) {
                const bool inside = x >= clip.x0 && x < clip.x1 && y >= clip.y0 && y < clip.y1;
                if (!inside) {
                    ASSERT_EQ(after[size_t(y * kTW + x)], before[size_t(y * kTW + x)]);
                }
            }
        }
    }
}

// Whatever the turn, scale and offset, no pixel reads past the image: the same image framed by
// clear pixels and by white ones, in a buffer whose rows run on past it, draws the same pixels.
// The scales run through those where a pixel's square reaches as far as its taps do.
TEST(CAPixelBlitTransformed, ReadsNothingOutsideTheImage) {
    constexpr int kW = 23, kH = 17, kTW = 48, kTH = 44, kFrame = 3;
    constexpr int kFW = kW + 2 * kFrame, kFH = kH + 2 * kFrame;
    const Surface opaque(kW, kH, 5, true), translucent(kW, kH, 5, false);
    auto framed = [&](const Surface& image, uint32_t frame) {
        const std::vector<uint32_t> pixels = image.pixels();
        std::vector<uint32_t> out(size_t(kFW * kFH), frame);
        for (int y = 0; y < kH; ++y) {
            std::copy_n(pixels.begin() + y * kW, kW, out.begin() + (y + kFrame) * kFW + kFrame);
        }
        return out;
    };
    uint32_t state = 11;
    auto unit = [&] {
        state ^= state << 13, state ^= state >> 17, state ^= state << 5;
        return (state % 10000) / 10000.0;
    };
    for (int i = 0; i < 300; ++i) {
        const double scale = 0.55 + 0.9 * unit();
        const Placement p{6.3 * unit(),    scale,           scale * (0.8 + 0.4 * unit()),
                          20 + 8 * unit(), 20 + 8 * unit(), i % 3 ? 256 : 150,
                          i % 2 == 0};
        SCOPED_TRACE("placement " + std::to_string(i));
        const CAPixelAffine toImage = targetToImage(imageToTarget(p, kW, kH));
        auto draw = [&](std::vector<uint32_t>& frame) {
            const CAPixelBuffer source{frame.data() + kFrame * kFW + kFrame, kW, kH, kFW};
            std::vector<uint32_t> target(size_t(kTW * kTH), 0xFF203040u);
            CAPixelDrawImageTransformed({target.data(), kTW, kTH, kTW}, {0, 0, kTW, kTH}, source,
                                        sourceOf(p.opaque), toImage, p.alpha);
            return target;
        };
        const Surface& image = p.opaque ? opaque : translucent;
        std::vector<uint32_t> clear = framed(image, 0), white = framed(image, 0xFFFFFFFFu);
        ASSERT_EQ(draw(clear), draw(white));
    }
}

}  // namespace
