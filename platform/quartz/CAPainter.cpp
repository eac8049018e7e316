#include "platform/quartz/CAPainter.h"

#include "platform/graphics/CairoOwners.h"
#include "platform/graphics/PictureMemory.h"
#include "platform/quartz/CAPageCurl.h"
#include "platform/quartz/CAPixelWorkers.h"
#include "platform/quartz/CARoundedRect.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

constexpr double kEpsilon = 1e-4;

bool nearInteger(double v) {
    return std::fabs(v - std::round(v)) < kEpsilon;
}

bool isAxisAligned(const CGAffineTransform& t) {
    return std::fabs(t.b) < kEpsilon && std::fabs(t.c) < kEpsilon && t.a > 0 && t.d > 0;
}

cairo_matrix_t cairoMatrix(const CGAffineTransform& t) {
    cairo_matrix_t m;
    cairo_matrix_init(&m, t.a, t.b, t.c, t.d, t.tx, t.ty);
    return m;
}

// The colour as non-premultiplied red, green, blue, alpha.
void colorComponents(const CGColorRef& color, float rgba[4]) {
    const size_t n = CGColorGetNumberOfComponents(color);
    const float* c = CGColorGetComponents(color);
    const CGColorSpaceModel model = CGColorSpaceGetModel(CGColorGetColorSpace(color));
    if (model == kCGColorSpaceModelMonochrome && n >= 2) {
        rgba[0] = rgba[1] = rgba[2] = c[0], rgba[3] = c[1];
    } else if (model == kCGColorSpaceModelRGB && n >= 4) {
        rgba[0] = c[0], rgba[1] = c[1], rgba[2] = c[2], rgba[3] = c[3];
    } else {
        // A pattern has no colour to read; draw it as a mid grey.
        rgba[0] = rgba[1] = rgba[2] = 0.5f, rgba[3] = CGColorGetAlpha(color);
    }
}

// The pixel rectangle `rect` covers through `t`, when its edges fall on pixel edges.
bool exactPixelRect(const CGAffineTransform& t, const CGRect& rect, CAPixelRect& out) {
    if (!isAxisAligned(t)) return false;
    const CGRect r = CGRectApplyAffineTransform(rect, t);
    const double x0 = r.origin.x, y0 = r.origin.y, x1 = x0 + r.size.width, y1 = y0 + r.size.height;
    if (!nearInteger(x0) || !nearInteger(y0) || !nearInteger(x1) || !nearInteger(y1)) return false;
    out = {int(std::lround(x0)), int(std::lround(y0)), int(std::lround(x1)), int(std::lround(y1))};
    return true;
}

// Whether `t` moves pixels by whole pixels and nothing else.
bool isWholePixelMove(const CGAffineTransform& t) {
    return std::fabs(t.a - 1) < kEpsilon && std::fabs(t.d - 1) < kEpsilon &&
           std::fabs(t.b) < kEpsilon && std::fabs(t.c) < kEpsilon && nearInteger(t.tx) &&
           nearInteger(t.ty);
}

// Where each target pixel lies in the source, for a source placed by `t`.
CAPixelAffine inverse(const CGAffineTransform& t) {
    const double det = double(t.a) * t.d - double(t.b) * t.c;
    return {t.d / det,
            -t.b / det,
            -t.c / det,
            t.a / det,
            (double(t.c) * t.ty - double(t.d) * t.tx) / det,
            (double(t.b) * t.tx - double(t.a) * t.ty) / det};
}

// How much `t` shrinks an image, as the square root of how much it shrinks its area.
double shrinkOf(const CGAffineTransform& t) {
    return std::sqrt(std::fabs(double(t.a) * t.d - double(t.b) * t.c));
}

// The clip chain as one pixel rectangle, when every clip is axis-aligned.
bool clipRect(const std::vector<CAClip>& clips, CAPixelRect base, CAPixelRect& out) {
    out = base;
    for (const CAClip& clip : clips) {
        if (clip.cornerRadius > 0 || !isAxisAligned(clip.transform)) return false;
        const CGRect r = CGRectApplyAffineTransform(clip.rect, clip.transform);
        out = out.intersect({int(std::lround(r.origin.x)), int(std::lround(r.origin.y)),
                             int(std::lround(r.origin.x + r.size.width)),
                             int(std::lround(r.origin.y + r.size.height))});
    }
    return true;
}

// Whether a fill or pattern item paints every pixel of its rectangle opaquely, corners and all.
bool fillsOpaquely(const CARenderItem& item) {
    if (item.cornerRadius > 0 || CGColorGetAlpha(item.color) < 1) return false;
    const CGPatternRef& pattern = item.color->pattern();
    return !pattern || pattern->image()->isOpaque();
}

// Makes `pattern` the source of `cr`: its tile repeated edge to edge from the origin of the
// current user space (the layer's coordinates), each repeat one step of the pattern.
void setPatternSource(cairo_t* cr, const CGPattern& pattern) {
    const double tileWidth = double(CGImageGetWidth(pattern.image())),
                 tileHeight = double(CGImageGetHeight(pattern.image()));
    const CGSize step = pattern.step();
    const CairoPatternPtr source(cairo_pattern_create_for_surface(pattern.image()->surface()));
    cairo_pattern_set_extend(source.get(), CAIRO_EXTEND_REPEAT);
    cairo_matrix_t userToTile;
    cairo_matrix_init_scale(&userToTile, tileWidth / step.width, tileHeight / step.height);
    cairo_pattern_set_matrix(source.get(), &userToTile);
    // Shrunk to less than half in pixels, the tile needs the smoother filter.
    cairo_matrix_t userToPixels;
    cairo_get_matrix(cr, &userToPixels);
    const double shrink =
        std::sqrt(std::fabs(userToPixels.xx * userToPixels.yy - userToPixels.xy * userToPixels.yx) *
                  step.width * step.height / (tileWidth * tileHeight));
    cairo_pattern_set_filter(source.get(),
                             shrink < 0.5 ? CAIRO_FILTER_GOOD : CAIRO_FILTER_BILINEAR);
    cairo_set_source(cr, source.get());
}

// Fills the current path of `cr` with the item's colour at the item's opacity: a plain colour, or
// a pattern colour's tile repeated from the origin of the layer's coordinates.
void fillPath(cairo_t* cr, const CARenderItem& item) {
    if (const CGPatternRef pattern = CGColorGetPattern(item.color)) {
        setPatternSource(cr, *pattern);
        cairo_clip(cr);
        cairo_paint_with_alpha(cr, CGColorGetAlpha(item.color) * item.opacity);
        return;
    }
    float c[4];
    colorComponents(item.color, c);
    cairo_set_source_rgba(cr, c[0], c[1], c[2], c[3] * item.opacity);
    cairo_fill(cr);
}

// An item's opacity in 256ths.
int alphaOf(const CARenderItem& item) {
    return int(std::lround(std::clamp(item.opacity, 0.f, 1.f) * 256));
}

// While it lives, cairo has the target's pixels: they are handed to it when it is made, after the
// fast paths wrote them directly, and taken back, flushed, when it goes, for them to write again.
class CairoHoldsPixels {
public:
    explicit CairoHoldsPixels(cairo_surface_t* surface) : surface_(surface) {
        cairo_surface_mark_dirty(surface_);
    }
    ~CairoHoldsPixels() { cairo_surface_flush(surface_); }
    CairoHoldsPixels(const CairoHoldsPixels&) = delete;
    CairoHoldsPixels& operator=(const CairoHoldsPixels&) = delete;

private:
    cairo_surface_t* surface_;
};

// While it lives, cairo draws into the target through the clips of `item`, in pixel space; when
// it goes, the context's state is restored and the pixels are taken back.
class CairoPass {
public:
    CairoPass(const CARenderTarget& target, const CARenderItem& item)
        : pixels_(target.surface), saver_(target.cr) {
        for (const CAClip& clip : item.clips) {
            if (!isInvertible(clip.transform)) continue;
            const cairo_matrix_t m = cairoMatrix(clip.transform);
            cairo_set_matrix(target.cr, &m);
            CAAddRoundedRect(target.cr, clip.rect, clip.cornerRadius);
            cairo_clip(target.cr);
        }
    }

private:
    // The pixels are handed over before the state is saved, so they are taken back after it is
    // restored.
    CairoHoldsPixels pixels_;
    CairoStateSaver saver_;
};

}  // namespace

void CAPainter::draw(const CARenderTarget& target, std::span<const CARenderItem> items) {
    for (size_t i = 0; i < items.size(); ++i) {
        if (i + 1 < items.size() && fastPair(target, items[i], items[i + 1])) {
            ++i;
            continue;
        }
        drawItem(target, items[i]);
    }
}

void CAPainter::drawInBands(const CARenderTarget& target, std::span<const CARenderItem> items) {
    constexpr int kBandRows = 32;
    const CAPixelRect whole = target.clip;
    const int bands = (whole.y1 - whole.y0 + kBandRows - 1) / kBandRows;
    // Each band counts what it draws apart, as it may be drawn on a core of its own.
    std::vector<CARenderStatistics> counts(size_t(std::max(bands, 0)));
    const auto drawBand = [&](int index) {
        const int top = whole.y0 + index * kBandRows;
        CARenderTarget band = target;
        band.clip = whole.intersect({whole.x0, top, whole.x1, top + kBandRows});
        CAPainter(counts[size_t(index)]).draw(band, items);
    };
    CAPixelWorkers::forEach(bands, int64_t(whole.x1 - whole.x0) * (whole.y1 - whole.y0), drawBand);
    // Each item counts once, not once a band.
    for (const CARenderStatistics& count : counts) {
        statistics_.drawn += count.drawn;
        statistics_.fast += count.fast;
    }
    if (bands > 1) {
        statistics_.drawn -= items.size() * size_t(bands - 1);
        statistics_.fast -= items.size() * size_t(bands - 1);
    }
}

bool CAPainter::drawsFast(const CARenderTarget& target, const CARenderItem& item) {
    CAPixelRect area, clip;
    switch (item.kind) {
        case CARenderItem::Kind::Fill:
            return fillPlacement(target, item, area, clip);
        case CARenderItem::Kind::Image: {
            CAPixelAffine toSource;
            return imagePlacement(target, item, imageToPixels(item), clip) ||
                   transformedPlacement(target, item, toSource, clip);
        }
        default:
            return false;
    }
}

bool CAPainter::coversTarget(const CARenderItem& item, const CAPixelRect& whole) {
    if (item.opacity < 1) return false;
    CAPixelRect area, clip;
    if (!clipRect(item.clips, whole, clip) || !(clip == whole)) return false;
    if (item.kind == CARenderItem::Kind::Fill || item.kind == CARenderItem::Kind::Pattern) {
        return fillsOpaquely(item) && exactPixelRect(item.transform, item.rect, area) &&
               area.intersect(whole) == whole;
    }
    if (item.kind != CARenderItem::Kind::Image || !item.image->isOpaque()) return false;
    const CGAffineTransform t = imageToPixels(item);
    const CGRect full{{0, 0},
                      {float(CGImageGetWidth(item.image)), float(CGImageGetHeight(item.image))}};
    return std::fabs(t.a - 1) < kEpsilon && std::fabs(t.d - 1) < kEpsilon &&
           exactPixelRect(t, full, area) && area.intersect(whole) == whole;
}

bool CAPainter::fillPlacement(const CARenderTarget& target, const CARenderItem& item,
                              CAPixelRect& area, CAPixelRect& clip) {
    return target.fastAllowed() && item.cornerRadius <= 0 &&
           exactPixelRect(item.transform, item.rect, area) &&
           clipRect(item.clips, target.clip, clip);
}

bool CAPainter::imagePlacement(const CARenderTarget& target, const CARenderItem& item,
                               const CGAffineTransform& t, CAPixelRect& clip) {
    return target.fastAllowed() && std::fabs(t.a - 1) <= kEpsilon &&
           std::fabs(t.d - 1) <= kEpsilon && std::fabs(t.b) <= kEpsilon &&
           std::fabs(t.c) <= kEpsilon && clipRect(item.clips, target.clip, clip);
}

bool CAPainter::transformedPlacement(const CARenderTarget& target, const CARenderItem& item,
                                     CAPixelAffine& toSource, CAPixelRect& clip) {
    const CGAffineTransform t = imageToPixels(item);
    // Shrunk to less than half, cairo's smoother filter is needed to keep from aliasing.
    if (!target.fastAllowed() || !isInvertible(t) || shrinkOf(t) < 0.5 ||
        !clipRect(item.clips, target.clip, clip)) {
        return false;
    }
    toSource = inverse(t);
    return true;
}

void CAPainter::drawItem(const CARenderTarget& target, const CARenderItem& item) {
    ++statistics_.drawn;
    switch (item.kind) {
        case CARenderItem::Kind::Fill:
            if (!fastFill(target, item)) cairoFill(target, item);
            break;
        case CARenderItem::Kind::Pattern:
            cairoFill(target, item);
            break;
        case CARenderItem::Kind::Border:
            cairoBorder(target, item);
            break;
        case CARenderItem::Kind::Image:
            if (!fastImage(target, item)) cairoImage(target, item);
            break;
        case CARenderItem::Kind::Group:
            drawGroup(target, item);
            break;
        case CARenderItem::Kind::Curl:
            drawCurl(target, item);
            break;
    }
}

bool CAPainter::fastFill(const CARenderTarget& target, const CARenderItem& item) {
    CAPixelRect area, clip;
    if (!fillPlacement(target, item, area, clip)) return false;
    float c[4];
    colorComponents(item.color, c);
    CAPixelFill(target.pixels, area.intersect(clip),
                CAPixelColor(c[0], c[1], c[2], c[3], item.opacity));
    ++statistics_.fast;
    return true;
}

bool CAPainter::place(const CARenderTarget& target, const CARenderItem& item, Placement& p) {
    const CGAffineTransform t = imageToPixels(item);
    if (!imagePlacement(target, item, t, p.clip)) return false;
    // A move within 1/512 of a whole pixel is drawn as that whole pixel, pixel for pixel.
    auto split = [](double v, int& whole, int& fraction) {
        const double floor = std::floor(v);
        fraction = int(std::lround((v - floor) * 256));
        whole = int(floor);
        if (fraction == 256) ++whole, fraction = 0;
    };
    split(t.tx, p.x, p.fx);
    split(t.ty, p.y, p.fy);
    p.alpha = alphaOf(item);
    return true;
}

bool CAPainter::fastImage(const CARenderTarget& target, const CARenderItem& item) {
    Placement p;
    const CAPixelBuffer source = pixelsOf(item.image->surface());
    if (!place(target, item, p)) {
        CAPixelAffine toSource;
        if (!transformedPlacement(target, item, toSource, p.clip)) return false;
        CAPixelDrawImageTransformed(target.pixels, p.clip, source, pixelSourceOf(*item.image),
                                    toSource, alphaOf(item));
    } else if (p.shifted()) {
        CAPixelDrawImageShifted(target.pixels, p.clip, source, pixelSourceOf(*item.image), p.x, p.y,
                                p.fx, p.fy, p.alpha);
    } else {
        CAPixelDrawImage(target.pixels, p.clip, source, pixelSourceOf(*item.image), p.x, p.y,
                         p.alpha);
    }
    ++statistics_.fast;
    return true;
}

bool CAPainter::fastPair(const CARenderTarget& target, const CARenderItem& below,
                         const CARenderItem& above) {
    Placement under, over;
    const bool aboveFits =
        above.kind == CARenderItem::Kind::Image || above.kind == CARenderItem::Kind::Curl;
    if (below.kind != CARenderItem::Kind::Image || !aboveFits ||
        !coversTarget(below, target.clip) || !place(target, below, under)) {
        return false;
    }
    const CAPixelBuffer picture = pixelsOf(below.image->surface());
    if (above.kind == CARenderItem::Kind::Curl) {
        if (!drawCurlOver(target, above, {picture, under.x, under.y})) return false;
        ++statistics_.fast;
        ++statistics_.drawn;
        return true;
    }
    const CAPixelBuffer source = pixelsOf(above.image->surface());
    if (place(target, above, over)) {
        if (!over.shifted() || !(over.clip == target.clip)) return false;
        CAPixelDrawImageShiftedOver(target.pixels, over.clip, source, pixelSourceOf(*above.image),
                                    over.x, over.y, over.fx, over.fy, over.alpha, picture, under.x,
                                    under.y);
    } else {
        CAPixelAffine toSource;
        if (!transformedPlacement(target, above, toSource, over.clip) ||
            !(over.clip == target.clip)) {
            return false;
        }
        CAPixelDrawImageTransformedOver(target.pixels, over.clip, source,
                                        pixelSourceOf(*above.image), toSource, alphaOf(above),
                                        picture, under.x, under.y);
    }
    statistics_.fast += 2;
    statistics_.drawn += 2;
    return true;
}

void CAPainter::cairoFill(const CARenderTarget& target, const CARenderItem& item) {
    const CairoPass pass(target, item);
    const cairo_matrix_t m = cairoMatrix(item.transform);
    cairo_set_matrix(target.cr, &m);
    CAAddRoundedRect(target.cr, item.rect, item.cornerRadius);
    fillPath(target.cr, item);
}

void CAPainter::cairoBorder(const CARenderTarget& target, const CARenderItem& item) {
    const CairoPass pass(target, item);
    const cairo_matrix_t m = cairoMatrix(item.transform);
    cairo_set_matrix(target.cr, &m);
    CAAddBorderBand(target.cr, item.rect, item.cornerRadius, item.borderWidth);
    cairo_set_fill_rule(target.cr, CAIRO_FILL_RULE_EVEN_ODD);
    fillPath(target.cr, item);
}

void CAPainter::cairoImage(const CARenderTarget& target, const CARenderItem& item) {
    const CGAffineTransform t = imageToPixels(item);
    if (!isInvertible(t)) return;
    const CairoPass pass(target, item);
    const cairo_matrix_t m = cairoMatrix(t);
    cairo_set_matrix(target.cr, &m);
    const double w = double(CGImageGetWidth(item.image)), h = double(CGImageGetHeight(item.image));
    cairo_rectangle(target.cr, 0, 0, w, h);
    cairo_clip(target.cr);
    cairo_set_source_surface(target.cr, item.image->surface(), 0, 0);
    cairo_pattern_t* pattern = cairo_get_source(target.cr);
    cairo_pattern_set_extend(pattern, CAIRO_EXTEND_PAD);
    // Shrinking by more than half needs the smoother filter to keep from aliasing.
    cairo_pattern_set_filter(pattern,
                             shrinkOf(t) < 0.5 ? CAIRO_FILTER_GOOD : CAIRO_FILTER_BILINEAR);
    cairo_paint_with_alpha(target.cr, item.opacity);
}

CairoSurfacePtr CAPainter::drawApart(int width, int height, std::span<const CARenderItem> items,
                                     CAFastPaths fastPaths) {
    CairoSurfacePtr surface = pictureSurfaceCreate(width, height);
    drawOnto(surface.get(), {0, 0, width, height}, items, fastPaths);
    cairo_surface_mark_dirty(surface.get());
    return surface;
}

void CAPainter::drawOnto(cairo_surface_t* surface, const CAPixelRect& whole,
                         std::span<const CARenderItem> items, CAFastPaths fastPaths) {
    const CairoContextPtr cr(cairo_create(surface));
    cairo_surface_flush(surface);
    draw({cr.get(), surface, pixelsOf(surface), whole, fastPaths}, items);
}

void CAPainter::drawGroup(const CARenderTarget& target, const CARenderItem& item) {
    const CairoSurfacePtr group =
        drawApart(target.pixels.width, target.pixels.height, item.children, target.fastPaths);
    const int alpha = int(std::lround(std::clamp(item.opacity, 0.f, 1.f) * 256));
    if (target.fastAllowed()) {
        // Drawn apart, a group may leave any pixel translucent.
        CAPixelDrawImage(target.pixels, target.clip, pixelsOf(group.get()),
                         CAPixelSource::Translucent, 0, 0, alpha);
    } else {
        const CairoHoldsPixels pixels(target.surface);
        const CairoStateSaver saver(target.cr);
        cairo_identity_matrix(target.cr);
        cairo_set_source_surface(target.cr, group.get(), 0, 0);
        cairo_paint_with_alpha(target.cr, item.opacity);
    }
}

bool CAPainter::curlPlacement(const CARenderTarget& target, const CARenderItem& item,
                              CurlPlacement& p) {
    const double s = shrinkOf(item.transform);
    p.w = std::max(1, int(std::ceil(item.rect.size.width * s)));
    p.h = std::max(1, int(std::ceil(item.rect.size.height * s)));
    // Page pixels to the layer's coordinates, then on to the target's pixels.
    const CGAffineTransform pageToLayer = {
        float(1 / s), 0, 0, float(1 / s), item.rect.origin.x, item.rect.origin.y};
    p.pageToPixels = CGAffineTransformConcat(pageToLayer, item.transform);
    if (!target.fastAllowed() || !isWholePixelMove(p.pageToPixels) ||
        !clipRect(item.clips, target.clip, p.clip)) {
        return false;
    }
    p.x = int(std::lround(p.pageToPixels.tx));
    p.y = int(std::lround(p.pageToPixels.ty));
    return true;
}

CAPixelBuffer CAPainter::pagePixels(const CARenderItem& item, int w, int h, CairoSurfacePtr& apart,
                                    CAPixelSource& kind) {
    CAPixelBuffer pixels;
    if (pagePicture(item, w, h, pixels)) {
        kind = pixelSourceOf(*item.children.front().image);
        return pixels;
    }
    kind = CAPixelSource::Translucent;
    apart = drawApart(w, h, item.children, CAFastPaths::Allowed);
    return pixelsOf(apart.get());
}

void CAPainter::drawCurl(const CARenderTarget& target, const CARenderItem& item) {
    CurlPlacement p;
    if (curlPlacement(target, item, p)) {
        // The page's pixels are the target's: the curl is laid straight into them.
        CairoSurfacePtr apart;
        CAPixelSource kind;
        const CAPixelBuffer pixels = pagePixels(item, p.w, p.h, apart, kind);
        CAPageCurlDrawPixels(target.pixels, p.clip, p.x, p.y, pixels, kind, item.curlTime,
                             item.curlAngle, alphaOf(item));
        ++statistics_.fast;
        return;
    }
    const CairoSurfacePtr page = drawApart(p.w, p.h, item.children, CAFastPaths::Allowed);
    const CairoPass pass(target, item);
    const cairo_matrix_t m = cairoMatrix(p.pageToPixels);
    cairo_set_matrix(target.cr, &m);
    CAPageCurlDraw(target.cr, page.get(), item.curlTime, item.curlAngle, item.opacity);
}

bool CAPainter::drawCurlOver(const CARenderTarget& target, const CARenderItem& item,
                             const CAPixelUnder& under) {
    CurlPlacement p;
    if (item.kind != CARenderItem::Kind::Curl || !curlPlacement(target, item, p) ||
        !(p.clip == target.clip)) {
        return false;
    }
    CairoSurfacePtr apart;
    CAPixelSource kind;
    const CAPixelBuffer pixels = pagePixels(item, p.w, p.h, apart, kind);
    CAPageCurlDrawPixelsOver(target.pixels, p.clip, p.x, p.y, pixels, kind, item.curlTime,
                             item.curlAngle, alphaOf(item), under);
    ++statistics_.drawn;
    ++statistics_.fast;
    return true;
}

bool CAPainter::pagePicture(const CARenderItem& item, int w, int h, CAPixelBuffer& pixels) {
    if (item.children.size() != 1) return false;
    const CARenderItem& only = item.children.front();
    if (only.kind != CARenderItem::Kind::Image || only.opacity < 1 || !only.clips.empty() ||
        int(CGImageGetWidth(only.image)) != w || int(CGImageGetHeight(only.image)) != h) {
        return false;
    }
    const CGAffineTransform t = imageToPixels(only);
    if (!isWholePixelMove(t) || std::lround(t.tx) != 0 || std::lround(t.ty) != 0) return false;
    pixels = pixelsOf(only.image->surface());
    return true;
}
