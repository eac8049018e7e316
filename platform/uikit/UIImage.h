#pragma once

// The platform image object: a Core Graphics image with a scale (pixels per point) and an
// orientation. Sizes are in points.

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "platform/graphics/CGContext.h"
#include "platform/graphics/CGGeometry.h"
#include "platform/graphics/CGImage.h"
#include "platform/graphics/IOSurface.h"
#include "platform/runtime/Message.h"
#include "platform/runtime/NSObject.h"
#include "platform/uikit/Forward.h"

// The orientations, with the platform's values.
enum UIImageOrientation : int32_t {
    UIImageOrientationUp = 0,
    UIImageOrientationDown = 1,
    UIImageOrientationLeft = 2,
    UIImageOrientationRight = 3,
    UIImageOrientationUpMirrored = 4,
    UIImageOrientationDownMirrored = 5,
    UIImageOrientationLeftMirrored = 6,
    UIImageOrientationRightMirrored = 7,
};

namespace UIImageMessage {
// The image's scale, also answered through the method table.
inline constinit const Message<CGFloat()> scale{"scale"};
}  // namespace UIImageMessage

class UIImage : public NSObject {
public:
    CV_DECLARE_CLASS()

    // An image of `image`, which must not be null, at `scale` pixels per point (1 when not
    // positive).
    UIImage(CGImageRef image, CGFloat scale, UIImageOrientation orientation);

    // The PNG file at a device path, at scale 2 when its name ends in "@2x.png", else 1; nil for
    // a missing or broken file.
    static UIImageRef imageWithContentsOfFile(std::string_view devicePath);
    // An image of `image` at `scale` (1 when not positive); nil for a null image.
    static UIImageRef imageWithCGImage(CGImageRef image, CGFloat scale,
                                       UIImageOrientation orientation);
    // An image of `image` at scale 1, upright; nil for a null image.
    static UIImageRef imageWithCGImage(CGImageRef image);
    // _initWithIOSurface:scale:orientation:: an image of the surface's pixels at `scale`; nil for
    // no surface or a surface without pixels.
    static UIImageRef imageWithIOSurface(const IOSurfaceRef& surface, CGFloat scale,
                                         int orientation);

    // The pixels.
    CGImageRef CGImage() const { return image_; }
    // Pixels per point.
    CGFloat scale() const { return scale_; }
    UIImageOrientation imageOrientation() const { return orientation_; }
    // The size in points: the pixel size divided by the scale.
    CGSize size() const;

    // Draws the whole image scaled into `rect` of the current UIKit context, upright in its
    // y-down space, with the normal blend mode at full opacity; nothing without a context.
    // FIXME: orientations other than up are drawn as up.
    void drawInRect(CGRect rect) const;
    // As drawInRect, with `mode` and `alpha` instead of normal and 1.
    void drawInRect(CGRect rect, CGBlendMode mode, CGFloat alpha) const;
    // Draws the image at its size with its top-left corner at `point`.
    void drawAtPoint(CGPoint point) const;

private:
    CGImageRef image_;
    CGFloat scale_;
    UIImageOrientation orientation_;
};

// The PNG encoding of the image's pixels; empty for nil.
std::vector<uint8_t> UIImagePNGRepresentation(const UIImageRef& image);
