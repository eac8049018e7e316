#pragma once

// The compositor's fast paths, on premultiplied ARGB32 pixels (cairo's image format): copying and
// blending an image moved by whole pixels, blending one moved by a fraction of a pixel (a pure
// translation samples every pixel with the same four weights, so one pass of bilinear blending
// does it), drawing one turned or scaled (each pixel sampled bilinearly where it maps to in the
// image), and filling rectangles. Everything is clipped to the target's clip rectangle.

#include <cstddef>
#include <cstdint>

// A rectangle of pixels: columns [x0, x1), rows [y0, y1).
struct CAPixelRect {
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    bool isEmpty() const { return x1 <= x0 || y1 <= y0; }
    CAPixelRect intersect(const CAPixelRect& o) const;
    bool operator==(const CAPixelRect&) const = default;
};

// Pixels to draw into or read from; `stride` counts pixels.
struct CAPixelBuffer {
    uint32_t* pixels = nullptr;
    int width = 0, height = 0, stride = 0;
    uint32_t* row(int y) const { return pixels + static_cast<std::ptrdiff_t>(y) * stride; }
};

// What is known of a source's pixels: that every one is opaque, or that some may be translucent.
enum class CAPixelSource { Opaque, Translucent };

// A still picture that something is drawn over in one pass, instead of the picture being copied
// into the target first: opaque, its top-left pixel at (x, y) of the target.
struct CAPixelUnder {
    CAPixelBuffer picture;
    int x = 0, y = 0;
    // The picture's pixels under row `row` of the target, indexed by the target's column.
    const uint32_t* row(int row) const { return picture.row(row - y) - x; }
};

// Draws `source` with its top-left pixel at (x, y) of `target`, at opacity `alpha` (0 to 256 for
// 0 to 1), within `clip`. An opaque source at full opacity is copied; anything else is blended
// over what is there.
void CAPixelDrawImage(const CAPixelBuffer& target, const CAPixelRect& clip,
                      const CAPixelBuffer& source, CAPixelSource kind, int x, int y, int alpha);
// Draws `source` moved by (x + fx/256, y + fy/256) pixels, fx and fy in 1 to 255 (or 0 on an axis
// that moves by whole pixels), at opacity `alpha` (0 to 256), blending bilinearly. A source known
// to be opaque lets the pixels away from its edges skip the per-pixel alpha.
void CAPixelDrawImageShifted(const CAPixelBuffer& target, const CAPixelRect& clip,
                             const CAPixelBuffer& source, CAPixelSource kind, int x, int y, int fx,
                             int fy, int alpha);
// As CAPixelDrawImageShifted, over `under` (opaque, its top-left pixel at (ux, uy), covering all of
// `clip`) instead of what the target holds: every target pixel in `clip` is written once, as if
// `under` had been copied there first. This is how a picture moving over a still one is drawn.
void CAPixelDrawImageShiftedOver(const CAPixelBuffer& target, const CAPixelRect& clip,
                                 const CAPixelBuffer& source, CAPixelSource kind, int x, int y,
                                 int fx, int fy, int alpha, const CAPixelBuffer& under, int ux,
                                 int uy);
// An affine map of pixel coordinates: (x, y) goes to (a x + c y + tx, b x + d y + ty). Pixel
// centres lie at half-integers.
struct CAPixelAffine {
    double a = 1, b = 0, c = 0, d = 1, tx = 0, ty = 0;
};
// Draws `source` placed on the target by any invertible affine map, given as `toSource` from the
// target's pixel coordinates to the source's, at opacity `alpha` (0 to 256), within `clip`. Each
// target pixel samples the source bilinearly at its centre, the source's edge pixels reaching out
// past its edges, and is covered by the source's rectangle as far as its area lies inside it: the
// image's edges are smoothed as cairo smooths an image painted clipped to its own rectangle.
void CAPixelDrawImageTransformed(const CAPixelBuffer& target, const CAPixelRect& clip,
                                 const CAPixelBuffer& source, CAPixelSource kind,
                                 const CAPixelAffine& toSource, int alpha);
// As CAPixelDrawImageTransformed, over `under` (opaque, its top-left pixel at (ux, uy), covering
// all of `clip`) instead of what the target holds: every target pixel in `clip` is written once.
void CAPixelDrawImageTransformedOver(const CAPixelBuffer& target, const CAPixelRect& clip,
                                     const CAPixelBuffer& source, CAPixelSource kind,
                                     const CAPixelAffine& toSource, int alpha,
                                     const CAPixelBuffer& under, int ux, int uy);
// Fills `rect` with the premultiplied colour `color`, blending it over what is there unless it
// is opaque.
void CAPixelFill(const CAPixelBuffer& target, const CAPixelRect& rect, uint32_t color);
// Makes every pixel of `target` the premultiplied colour `color` (0 for transparent).
void CAPixelClear(const CAPixelBuffer& target, uint32_t color);
// Premultiplies a colour of components 0 to 1 at opacity `opacity`.
uint32_t CAPixelColor(float red, float green, float blue, float alpha, float opacity);
