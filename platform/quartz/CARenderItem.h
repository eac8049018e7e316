#pragma once

// What the compositor draws, once the layer trees have been walked: a list of items in pixels,
// back to front, and what drawing them took.

#include "platform/graphics/CGColor.h"
#include "platform/graphics/CGGeometry.h"
#include "platform/graphics/CGImage.h"
#include "platform/quartz/CAPixelBlit.h"
#include "platform/quartz/Forward.h"

#include <cairo.h>

#include <cmath>
#include <cstddef>
#include <vector>

// A clip to a layer's bounds: `rect` in the coordinates that `transform` takes to pixels, its
// corners rounded by `cornerRadius` (0: a plain rectangle).
struct CAClip {
    CGAffineTransform transform;
    CGRect rect;
    float cornerRadius = 0;
    bool operator==(const CAClip&) const = default;
};

// One thing to draw, in pixels: a layer's background (a colour, or a pattern colour's tile
// repeated), its image or its border, or a layer subtree drawn apart and then faded as one (a
// group) or folded (a curl).
struct CARenderItem {
    enum class Kind { Fill, Pattern, Border, Image, Group, Curl };
    Kind kind = Kind::Fill;
    const CALayer* layer = nullptr;
    CGAffineTransform transform;  // the layer's coordinates to pixels
    CGRect rect;                  // the layer's bounds
    float opacity = 1;
    CGColorRef color;  // a fill's, pattern's or border's colour
    CGImageRef image;
    float cornerRadius = 0;  // a fill's, pattern's or border's rounded corners
    float borderWidth = 0;   // a border's line, inside `rect`
    std::vector<CAClip> clips;
    std::vector<CARenderItem> children;
    double curlTime = 0, curlAngle = 0;
    bool operator==(const CARenderItem&) const = default;
};

// What a frame took, for tests and benchmarks.
struct CARenderStatistics {
    size_t drawn = 0;      // items drawn
    size_t fast = 0;       // of those, by the pixel fast paths
    size_t occluded = 0;   // items skipped under an opaque full-screen item
    size_t fromCache = 0;  // items taken from the kept picture
};

// Whether the pixel fast paths may draw into a target (its clip is a rectangle) or cairo alone.
enum class CAFastPaths { Allowed, Forbidden };

// Where items are drawn: a cairo image surface, read and written directly by the fast paths.
struct CARenderTarget {
    cairo_t* cr;
    cairo_surface_t* surface;
    CAPixelBuffer pixels;
    CAPixelRect clip;  // the target's own clip, in pixels
    CAFastPaths fastPaths;

    bool fastAllowed() const { return fastPaths == CAFastPaths::Allowed; }
};

// Whether `t` can be undone (a layer scaled to nothing cannot be drawn).
inline bool isInvertible(const CGAffineTransform& t) {
    return std::fabs(double(t.a) * t.d - double(t.b) * t.c) > 1e-12;
}

// What the fast paths may assume of an image's pixels.
inline CAPixelSource pixelSourceOf(const CGImage& image) {
    return image.isOpaque() ? CAPixelSource::Opaque : CAPixelSource::Translucent;
}

// The pixels of an image surface.
inline CAPixelBuffer pixelsOf(cairo_surface_t* surface) {
    return {reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(surface)),
            cairo_image_surface_get_width(surface), cairo_image_surface_get_height(surface),
            cairo_image_surface_get_stride(surface) / 4};
}

// The transform from an image's pixels to the target's, for an image filling `item.rect`.
inline CGAffineTransform imageToPixels(const CARenderItem& item) {
    const double iw = double(CGImageGetWidth(item.image)),
                 ih = double(CGImageGetHeight(item.image));
    const CGAffineTransform place = {float(item.rect.size.width / iw),
                                     0,
                                     0,
                                     float(item.rect.size.height / ih),
                                     item.rect.origin.x,
                                     item.rect.origin.y};
    return CGAffineTransformConcat(place, item.transform);
}
