#pragma once

// Immutable bitmaps: premultiplied ARGB32 pixels in a cairo image surface, first row at the top.
// Every query answers zero or null for a null image, as the platform does.

#include <cairo.h>

#include "platform/graphics/CairoOwners.h"
#include "platform/graphics/Forward.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>
#include <vector>

// One pixel as 8-bit red, green, blue and alpha, not premultiplied.
struct CGImagePixel {
    uint8_t r = 0, g = 0, b = 0, a = 0;
    bool operator==(const CGImagePixel&) const = default;
};

class CGImage {
public:
    // Holds `surface`, an ARGB32 image surface that nothing draws into any more.
    explicit CGImage(CairoSurfacePtr surface);
    CGImage(const CGImage&) = delete;
    CGImage& operator=(const CGImage&) = delete;

    // Width and height in pixels.
    size_t width() const;
    size_t height() const;
    // The pixels, for painting them directly (the compositor does). Never draw into it.
    cairo_surface_t* surface() const { return surface_.get(); }
    // Whether every pixel is fully opaque, so that drawing the image may copy instead of blend.
    bool isOpaque() const { return opaque_; }

private:
    CairoSurfacePtr surface_;
    bool opaque_;
};

// Width and height of `image` in pixels; 0 for a null image.
size_t CGImageGetWidth(const CGImageRef& image);
size_t CGImageGetHeight(const CGImageRef& image);

// An image of `width` × `height` unpremultiplied pixels, row by row from the top; null when a
// side is zero, too large for a bitmap, or `pixels` does not hold exactly width × height.
CGImageRef CGImageCreateWithPixels(size_t width, size_t height,
                                   std::span<const CGImagePixel> pixels);
// An image holding a copy of the pixels of an image `surface` of any format; null for a null,
// failed or empty surface.
CGImageRef CGImageCreateWithSurfaceCopy(cairo_surface_t* surface);

// The pixel at column `x`, row `y` (row 0 at the top), unpremultiplied; a transparent pixel
// (all zero) outside the image or for a null image.
CGImagePixel CGImageGetPixelForTesting(const CGImageRef& image, size_t x, size_t y);

// The image in a PNG file; null when the file is missing, unreadable, broken or truncated.
CGImageRef CGImageCreateWithPNGFile(const std::filesystem::path& path);
// The image in PNG bytes; null when they are empty, broken or truncated.
CGImageRef CGImageCreateWithPNGData(std::span<const uint8_t> bytes);

// Writes `image` as a PNG file; false for a null image or when the file cannot be written.
bool CGImageWritePNG(const CGImageRef& image, const std::filesystem::path& path);
// The PNG encoding of `image`; empty for a null image.
std::vector<uint8_t> CGImageCopyPNGData(const CGImageRef& image);
