#include "platform/quartz/CAPageCurl.h"

#include "platform/graphics/CairoOwners.h"
#include "platform/graphics/PictureMemory.h"
#include "platform/quartz/CAPageCurlGeometry.h"
#include "platform/quartz/CAPageCurlRaster.h"

namespace {

CAPixelBuffer pixelsOf(cairo_surface_t* surface) {
    return {reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(surface)),
            cairo_image_surface_get_width(surface), cairo_image_surface_get_height(surface),
            cairo_image_surface_get_stride(surface) / 4};
}

// Paints `picture` through the current matrix, clipped to its rectangle.
void paintPage(cairo_t* cr, cairo_surface_t* picture, double opacity) {
    const CairoStateSaver saver(cr);
    cairo_rectangle(cr, 0, 0, cairo_image_surface_get_width(picture),
                    cairo_image_surface_get_height(picture));
    cairo_clip(cr);
    cairo_set_source_surface(cr, picture, 0, 0);
    cairo_pattern_t* pattern = cairo_get_source(cr);
    cairo_pattern_set_extend(pattern, CAIRO_EXTEND_PAD);
    cairo_pattern_set_filter(pattern, CAIRO_FILTER_BILINEAR);
    cairo_paint_with_alpha(cr, opacity);
}

}  // namespace

void CAPageCurlDraw(cairo_t* cr, cairo_surface_t* page, double time, double angle, double opacity) {
    // The page untouched and the page gone are drawn exactly, without going through the curl.
    if (time <= 0) return paintPage(cr, page, opacity);
    if (time >= 1) return;
    const int w = cairo_image_surface_get_width(page), h = cairo_image_surface_get_height(page);
    const CairoSurfacePtr curled = pictureSurfaceCreate(w, h);
    if (cairo_surface_status(curled.get()) != CAIRO_STATUS_SUCCESS) return;
    cairo_surface_flush(page);
    cairo_surface_flush(curled.get());
    CAPageCurlRaster(pixelsOf(curled.get()), pixelsOf(page),
                     CAPageCurlGeometryMake(w, h, time, angle));
    cairo_surface_mark_dirty(curled.get());
    paintPage(cr, curled.get(), opacity);
}

void CAPageCurlDrawPixels(const CAPixelBuffer& target, const CAPixelRect& clip, int x, int y,
                          const CAPixelBuffer& page, CAPixelSource kind, double time, double angle,
                          int alpha) {
    if (time <= 0) return CAPixelDrawImage(target, clip, page, kind, x, y, alpha);
    if (time >= 1) return;
    CAPageCurlRasterOver(target, clip, x, y, page, kind,
                         CAPageCurlGeometryMake(page.width, page.height, time, angle), alpha);
}

void CAPageCurlDrawPixelsOver(const CAPixelBuffer& target, const CAPixelRect& clip, int x, int y,
                              const CAPixelBuffer& page, CAPixelSource kind, double time,
                              double angle, int alpha, const CAPixelUnder& under) {
    if (time <= 0 || time >= 1) {
        // The page untouched or gone: the picture, then the page as it is drawn alone.
        CAPixelDrawImage(target, clip, under.picture, CAPixelSource::Opaque, under.x, under.y, 256);
        return CAPageCurlDrawPixels(target, clip, x, y, page, kind, time, angle, alpha);
    }
    CAPageCurlRasterOverPicture(target, clip, x, y, page, kind,
                                CAPageCurlGeometryMake(page.width, page.height, time, angle), alpha,
                                under);
}
