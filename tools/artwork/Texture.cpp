#include "tools/artwork/Texture.h"

#include <algorithm>
#include <cstdint>

namespace {

uint32_t channel(double value, double alpha) {
    return static_cast<uint32_t>(std::clamp(value, 0.0, 1.0) * alpha * 255.0 + 0.5);
}

uint32_t premultipliedArgb(const Rgba& c) {
    const double a = std::clamp(c.a, 0.0, 1.0);
    return channel(1.0, a) << 24 | channel(c.r, a) << 16 | channel(c.g, a) << 8 | channel(c.b, a);
}

}  // namespace

Rgba mixRgba(const Rgba& from, const Rgba& to, double t) {
    return {from.r + (to.r - from.r) * t, from.g + (to.g - from.g) * t,
            from.b + (to.b - from.b) * t, from.a + (to.a - from.a) * t};
}

CairoSurfacePtr textureSurface(int width, int height,
                               const std::function<Rgba(int x, int y)>& colourAt) {
    CairoSurfacePtr surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height));
    cairo_surface_flush(surface.get());
    const int stride = cairo_image_surface_get_stride(surface.get());
    unsigned char* data = cairo_image_surface_get_data(surface.get());
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(data + y * stride);
        for (int x = 0; x < width; ++x) row[x] = premultipliedArgb(colourAt(x, y));
    }
    cairo_surface_mark_dirty(surface.get());
    return surface;
}

void setSourceRgba(cairo_t* cr, const Rgba& colour) {
    cairo_set_source_rgba(cr, colour.r, colour.g, colour.b, colour.a);
}

void addStop(cairo_pattern_t* gradient, double offset, const Rgba& colour) {
    cairo_pattern_add_color_stop_rgba(gradient, offset, colour.r, colour.g, colour.b, colour.a);
}
