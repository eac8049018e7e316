#pragma once

// Image tinting for the lock-screen add-ons. Every operation draws into an image context of its
// own and returns a new image; the source is left as it is. No image, or a size without area,
// gives no image.

#include "platform/graphics/CGGeometry.h"
#include "platform/uikit/UIColor.h"
#include "platform/uikit/UIImage.h"

// The UIImage category colorizeImage.
namespace colorizeImage {

// The receiver's silhouette in `color`: each pixel takes the colour, its alpha scaled by the
// source pixel's alpha; the result keeps the receiver's scale.
UIImageRef imageWithOverlayColor(const UIImageRef& self, const UIColorRef& color);

}  // namespace colorizeImage

// `image` tinted with `color` at one pixel per point: inside the image's shape each pixel is the
// image's multiplied by the colour (white parts take the colour, dark parts stay dark); outside
// it stays transparent. The result is upright, as the source is.
UIImageRef colorizeImageWithColor(const UIImageRef& image, const UIColorRef& color);

// An image of `size` points at one pixel per point, every pixel `color`.
UIImageRef imageWithColorAndSize(const UIColorRef& color, CGSize size);
