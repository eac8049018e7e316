#include "platform/quartz/CARenderer.h"

#include "platform/graphics/CairoOwners.h"
#include "platform/quartz/CALayer.h"
#include "platform/quartz/CAPainter.h"
#include "platform/quartz/CAPixelWorkers.h"
#include "platform/quartz/CARenderTree.h"

#include <algorithm>
#include <cmath>

namespace {

// Sizes within this of a whole pixel count as that pixel.
constexpr double kEpsilon = 1e-4;

// Narrows `clip` to the context's clip when that is one rectangle, in pixels, and answers whether
// it is.
bool clipRectangle(cairo_t* cr, CAPixelRect& clip) {
    const CairoRectangleListPtr list(cairo_copy_clip_rectangle_list(cr));
    if (!list || list->status != CAIRO_STATUS_SUCCESS || list->num_rectangles != 1) return false;
    const cairo_rectangle_t& r = list->rectangles[0];
    double x0 = r.x, y0 = r.y, x1 = r.x + r.width, y1 = r.y + r.height;
    cairo_user_to_device(cr, &x0, &y0);
    cairo_user_to_device(cr, &x1, &y1);
    clip = clip.intersect({int(std::lround(std::min(x0, x1))), int(std::lround(std::min(y0, y1))),
                           int(std::lround(std::max(x0, x1))), int(std::lround(std::max(y0, y1)))});
    return true;
}

// Draws `items` into `target`, leaving the state of its context as it found it.
void drawKeepingState(const CARenderTarget& target, std::span<const CARenderItem> items) {
    const CairoStateSaver saver(target.cr);
    CARenderStatistics statistics;
    CAPainter(statistics).draw(target, items);
}

}  // namespace

CARenderer::CARenderer(CGSize size, CGFloat scale) : scale_(scale > 0 ? scale : 1) {
    width_ = size_t(std::max(0.0, std::ceil(double(size.width) * scale_ - kEpsilon)));
    height_ = size_t(std::max(0.0, std::ceil(double(size.height) * scale_ - kEpsilon)));
    context_ = CGBitmapContextCreate(width_, height_);
    CAPixelWorkers::prepare();
}

CARenderer::~CARenderer() = default;

void CARenderer::render(std::span<const CALayer* const> layers, ClockTime time,
                        uint32_t background) {
    statistics_ = {};
    // An image of the last frame still held is that frame's bitmap: this one gets a new bitmap,
    // and without the memory for one it is not drawn (the next frame tries again).
    if (!lent_.expired()) {
        CGContextRef fresh = CGBitmapContextCreate(width_, height_);
        if (!fresh) return;
        context_ = std::move(fresh);
        lent_.reset();
    }
    cairo_t* cr = CGContextGetCairo(context_);
    if (!cr) return;
    cairo_surface_t* surface = cairo_get_target(cr);
    cairo_surface_flush(surface);
    const CAPixelBuffer pixels = pixelsOf(surface);
    const CARenderTarget target{
        cr, surface, pixels, {0, 0, pixels.width, pixels.height}, CAFastPaths::Allowed};

    std::vector<CARenderItem> items;
    const CARenderTree tree(time);
    for (const CALayer* layer : layers) {
        if (layer) tree.addTopLevel(*layer, CGAffineTransformMakeScale(scale_, scale_), items);
    }
    const size_t start = firstVisible(items, target.clip);
    statistics_.occluded = start;

    drawFrame(target, items, start, background);
    cairo_surface_mark_dirty(surface);

    previous_ = std::move(items);
    previousStart_ = start;
    previousBackground_ = background;
    drawn_ = true;
}

void CARenderer::drawFrame(const CARenderTarget& target, const std::vector<CARenderItem>& items,
                           size_t start, uint32_t background) {
    // The frame is drawn in pixels, whatever the context's own matrix and clip.
    const CairoStateSaver saver(target.cr);
    cairo_identity_matrix(target.cr);
    cairo_reset_clip(target.cr);
    const size_t next = drawStill(target, items, start, background);
    const auto rest = std::span<const CARenderItem>(items).subspan(next);
    CAPainter painter(statistics_);
    if (std::all_of(rest.begin(), rest.end(),
                    [&](const CARenderItem& item) { return CAPainter::drawsFast(target, item); })) {
        painter.drawInBands(target, rest);
    } else {
        painter.draw(target, rest);
    }
}

size_t CARenderer::firstVisible(const std::vector<CARenderItem>& items, const CAPixelRect& whole) {
    // Nothing under an opaque item that covers the screen can show.
    for (size_t i = items.size(); i-- > 0;) {
        if (CAPainter::coversTarget(items[i], whole)) return i;
    }
    return 0;
}

size_t CARenderer::unchangedRun(const std::vector<CARenderItem>& items, size_t start,
                                uint32_t background) const {
    if (!drawn_ || start != previousStart_ || background != previousBackground_) return 0;
    size_t same = 0;
    while (start + same < items.size() && start + same < previous_.size() &&
           items[start + same] == previous_[start + same]) {
        ++same;
    }
    return same;
}

size_t CARenderer::drawStill(const CARenderTarget& target, const std::vector<CARenderItem>& items,
                             size_t start, uint32_t background) {
    const size_t same = unchangedRun(items, start, background);
    const size_t count = size_t(target.pixels.stride) * size_t(target.pixels.height);
    if (cacheCount_ > 0 && cacheStart_ == start && cacheCount_ <= same) {
        statistics_.fromCache = cacheCount_;
        const size_t next = start + cacheCount_;
        // A page peeled off the kept picture is laid over it in one pass, without copying it.
        const CAPixelBuffer kept{cache_.data(), target.pixels.width, target.pixels.height,
                                 target.pixels.stride};
        if (next < items.size() &&
            CAPainter(statistics_).drawCurlOver(target, items[next], {kept, 0, 0})) {
            return next + 1;
        }
        std::copy(cache_.begin(), cache_.end(), target.pixels.pixels);
        return next;
    }
    if (items.empty() || !CAPainter::coversTarget(items[start], target.clip)) {
        CAPixelClear(target.pixels, background);
    }
    cacheCount_ = 0;
    // A run of two or more items that held still since the last frame is worth keeping.
    if (same < 2) return start;
    CAPainter(statistics_).draw(target, std::span<const CARenderItem>(items).subspan(start, same));
    cache_.assign(target.pixels.pixels, target.pixels.pixels + count);
    cacheStart_ = start;
    cacheCount_ = same;
    return start + same;
}

CGImageRef CARenderer::image() const {
    if (!drawn_) return nullptr;
    if (CGImageRef image = lent_.lock()) return image;
    cairo_t* cr = CGContextGetCairo(context_);
    if (!cr) return nullptr;
    cairo_surface_t* surface = cairo_get_target(cr);
    cairo_surface_flush(surface);
    auto image = std::make_shared<CGImage>(CairoSurfacePtr(cairo_surface_reference(surface)));
    lent_ = image;
    return image;
}

void CARenderer::renderLayer(const CALayer& layer, const CGContextRef& context,
                             std::optional<ClockTime> time) {
    cairo_t* cr = CGContextGetCairo(context);
    if (!cr) return;
    cairo_surface_t* surface = cairo_get_target(cr);
    cairo_matrix_t m;
    cairo_get_matrix(cr, &m);
    const CGAffineTransform userToPixels = {float(m.xx), float(m.yx), float(m.xy),
                                            float(m.yy), float(m.x0), float(m.y0)};
    // The pixel fast paths honour the context's clip only when it is one rectangle.
    const CAPixelBuffer pixels = pixelsOf(surface);
    CAPixelRect clip{0, 0, pixels.width, pixels.height};
    const CAFastPaths fastPaths =
        clipRectangle(cr, clip) ? CAFastPaths::Allowed : CAFastPaths::Forbidden;

    // The layer's bounds origin goes to the user-space origin; its own place does not count.
    std::vector<CARenderItem> items;
    const CARenderTree tree(time);
    const CALayerProperties p = tree.properties(layer);
    const CGAffineTransform toPixels = CGAffineTransformConcat(
        CGAffineTransformMakeTranslation(-p.bounds.origin.x, -p.bounds.origin.y), userToPixels);
    tree.add(layer, p, toPixels, 1, {}, items);

    cairo_surface_flush(surface);
    drawKeepingState({cr, surface, pixels, clip, fastPaths}, items);
    cairo_surface_mark_dirty(surface);
}

void CALayer::renderInContext(const CGContextRef& context) const {
    CARenderer::renderLayer(*this, context);
}
