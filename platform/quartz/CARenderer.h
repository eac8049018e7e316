#pragma once

// The compositor: draws layer trees, as presented at a moment of the clock, into a bitmap. It
// draws background colours (a pattern colour as its tile repeated), rounded corners, borders,
// images (scaled to their layer's bounds), affine transforms, opacity (a layer with several things
// to draw fades as one group), hidden layers, clipping to bounds, and the page-curl filter. The
// same trees at the same time give the same pixels.
//
// Speed: an image moved by whole pixels is copied or blended pixel for pixel, one moved by a
// fraction of a pixel is blended bilinearly in one pass, one turned or scaled is sampled
// bilinearly row by row, and a curled page is laid straight into the screen's pixels; only images
// shrunk to less than half, rounded corners, borders, pattern tiles and clips that are not
// rectangles go through cairo. Layers hidden under an opaque full-screen layer are not drawn, and
// the picture of a run of layers that has not changed since the last frame is kept and reused.

#include "platform/foundation/Clock.h"
#include "platform/graphics/CGContext.h"
#include "platform/graphics/CGImage.h"
#include "platform/graphics/PictureMemory.h"
#include "platform/quartz/CAPixelBlit.h"
#include "platform/quartz/CARenderItem.h"
#include "platform/quartz/Forward.h"

#include <memory>
#include <optional>
#include <span>
#include <vector>

class CARenderer {
public:
    // What the last frame took, for tests and benchmarks.
    using Statistics = CARenderStatistics;

    // A renderer for a screen of `size` points at `scale` pixels per point.
    CARenderer(CGSize size, CGFloat scale);
    ~CARenderer();
    CARenderer(const CARenderer&) = delete;
    CARenderer& operator=(const CARenderer&) = delete;

    // Draws `layers`, back to front, each placed on the screen by its position and transform, as
    // presented at `time`, over `background` (premultiplied ARGB; opaque black by default).
    void render(std::span<const CALayer* const> layers, ClockTime time,
                uint32_t background = 0xFF000000u);
    // The picture drawn last, as an image; null before the first render. The image holds the
    // bitmap itself, not a copy: while anyone keeps it, the next render draws into a new bitmap.
    CGImageRef image() const;
    // The bitmap drawn into. Not to be drawn into from outside: an image of the last frame may
    // hold it (see image()).
    const CGContextRef& context() const { return context_; }
    size_t pixelWidth() const { return width_; }
    size_t pixelHeight() const { return height_; }
    const Statistics& statistics() const { return statistics_; }

    // Draws `layer` and its sublayers into `context` through its current transform, with the
    // layer's bounds origin at the user-space origin (the layer's own position and transform do
    // not count; its opacity, hidden flag and filters do). Model values unless `time` is given,
    // then the presentation at that time.
    static void renderLayer(const CALayer& layer, const CGContextRef& context,
                            std::optional<ClockTime> time = std::nullopt);

private:
    // The index of the last item that hides everything before it (0 when none does).
    static size_t firstVisible(const std::vector<CARenderItem>& items, const CAPixelRect& whole);
    // How many items from `start` on are as they were in the last frame.
    size_t unchangedRun(const std::vector<CARenderItem>& items, size_t start,
                        uint32_t background) const;
    // Lays down the background and the items that held still (from the kept picture when it is
    // still good, a page peeled off it laid over it in the same pass; keeping a new one when a run
    // held still); answers the first item left to draw.
    size_t drawStill(const CARenderTarget& target, const std::vector<CARenderItem>& items,
                     size_t start, uint32_t background);
    // Draws the frame's items from `start` on, in pixels, over the background: the still ones
    // first, then the rest, a band of rows at a time when they all take the pixel fast paths.
    void drawFrame(const CARenderTarget& target, const std::vector<CARenderItem>& items,
                   size_t start, uint32_t background);

    CGContextRef context_;
    // The image of the last frame over the bitmap, as long as anyone holds it.
    mutable std::weak_ptr<const CGImage> lent_;
    size_t width_ = 0, height_ = 0;
    CGFloat scale_ = 1;
    Statistics statistics_;
    bool drawn_ = false;
    // The picture of items [start, start + count) of the previous frame's list.
    std::vector<uint32_t, PictureAllocator<uint32_t>> cache_;
    size_t cacheStart_ = 0, cacheCount_ = 0;
    std::vector<CARenderItem> previous_;
    size_t previousStart_ = 0;
    uint32_t previousBackground_ = 0;
};
