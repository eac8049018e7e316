#pragma once

// One picture being drawn: premultiplied ARGB32 pixels and the cairo context that draws them.

#include <cairo.h>

#include <filesystem>
#include <memory>

struct SurfaceRelease {
    void operator()(cairo_surface_t* surface) const { cairo_surface_destroy(surface); }
};
// An owned cairo surface.
using SurfacePtr = std::unique_ptr<cairo_surface_t, SurfaceRelease>;

struct PatternRelease {
    void operator()(cairo_pattern_t* pattern) const { cairo_pattern_destroy(pattern); }
};
// An owned cairo pattern.
using PatternPtr = std::unique_ptr<cairo_pattern_t, PatternRelease>;

class Canvas {
public:
    // A fully transparent canvas of `width` × `height` pixels.
    Canvas(int width, int height);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    int width() const { return width_; }
    int height() const { return height_; }
    // The context drawing into this canvas; it lives as long as the canvas.
    cairo_t* cr() const { return cr_; }
    // The pixels, for masks and textures; call cairo_surface_flush before reading them directly.
    cairo_surface_t* surface() const { return surface_.get(); }

    // Writes the picture as a PNG file; false when the file cannot be written.
    bool writePng(const std::filesystem::path& path) const;

private:
    int width_;
    int height_;
    SurfacePtr surface_;
    cairo_t* cr_;
};
