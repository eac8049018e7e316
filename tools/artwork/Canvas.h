#pragma once

// One picture being drawn: premultiplied ARGB32 pixels and the cairo context that draws them.

#include <cairo.h>

#include <filesystem>

#include "platform/graphics/CairoOwners.h"

class Canvas {
public:
    // A fully transparent canvas of `width` × `height` pixels.
    Canvas(int width, int height);
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    int width() const { return width_; }
    int height() const { return height_; }
    // The context drawing into this canvas; it lives as long as the canvas.
    cairo_t* cr() const { return cr_.get(); }
    // The pixels, for masks and textures; call cairo_surface_flush before reading them directly.
    cairo_surface_t* surface() const { return surface_.get(); }

    // Writes the picture as a PNG file; false when the file cannot be written.
    bool writePng(const std::filesystem::path& path) const;

private:
    int width_;
    int height_;
    CairoSurfacePtr surface_;
    // Declared after the surface, so that it goes first.
    CairoContextPtr cr_;
};
