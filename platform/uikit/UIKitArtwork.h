#pragma once

// The shapes and shadings that UIKit's own controls and table cells are drawn with: rounded
// rectangles filled with vertical gradients, edged with thin lines, and the small glyphs of table
// rows. Everything is drawn in the UIKit space of an image context (origin at the top-left, y
// growing downward, in points), and colours are given as 0xRRGGBB.

#include "platform/graphics/CGContext.h"
#include "platform/graphics/CGGeometry.h"
#include "platform/uikit/UIImage.h"

#include <cstdint>
#include <functional>

// The radii of a rounded rectangle's top corners and of its bottom ones.
struct UIArtworkCorners {
    CGFloat top = 0;
    CGFloat bottom = 0;
};

// An image of `size` points at the main screen's scale, transparent until `draw` paints it with
// the context it is given; drawn at `opacity` as a whole (a disabled control is drawn faded). Nil
// for a size without area.
UIImageRef UIArtworkImage(CGSize size, const std::function<void(const CGContextRef&)>& draw,
                          CGFloat opacity = 1);

// Fills `rect`, its corners rounded as `corners` says, with a vertical gradient from `top` at the
// rect's top to `bottom` at its bottom.
void UIArtworkFillRoundedRect(const CGContextRef& ctx, CGRect rect, UIArtworkCorners corners,
                              uint32_t top, uint32_t bottom);
// Strokes a line of `width` points just inside the edge of `rect`, its corners rounded as
// `corners` says, in `color` at `alpha`.
void UIArtworkStrokeRoundedRect(const CGContextRef& ctx, CGRect rect, UIArtworkCorners corners,
                                CGFloat width, uint32_t color, CGFloat alpha = 1);
// Fills the circle inscribed in `rect` with a vertical gradient from `top` to `bottom`, edged by a
// one-point line of `edge`.
void UIArtworkFillCircle(const CGContextRef& ctx, CGRect rect, uint32_t top, uint32_t bottom,
                         uint32_t edge);
// A rounded chevron pointing right, centred in `rect`, as link rows end in.
void UIArtworkChevron(const CGContextRef& ctx, CGRect rect, uint32_t color);
// A checkmark centred in `rect`, as the chosen row of a list carries.
void UIArtworkCheckmark(const CGContextRef& ctx, CGRect rect, uint32_t color);

// `color` (0xRRGGBB) as an opaque colour.
CGColorRef UIArtworkColor(uint32_t color, CGFloat alpha = 1);
