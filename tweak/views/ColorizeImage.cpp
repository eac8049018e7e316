#include "tweak/views/ColorizeImage.h"

#include "platform/uikit/UIGraphics.h"

namespace {

// The size of `image` in points; zero for no image, as a message to nil answers.
CGSize sizeOf(const UIImageRef& image) {
    return image ? image->size() : CGSizeZero;
}

CGImageRef pixelsOf(const UIImageRef& image) {
    return image ? image->CGImage() : nullptr;
}

CGColorRef cgColorOf(const UIColorRef& color) {
    return color ? color->CGColor() : nullptr;
}

// The current image context's picture; closes the context.
UIImageRef finishImageContext() {
    UIImageRef image = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    return image;
}

}  // namespace

UIImageRef colorizeImage::imageWithOverlayColor(const UIImageRef& self, const UIColorRef& color) {
    const CGSize size = sizeOf(self);
    const CGRect rect{CGPointZero, size};
    const CGFloat scale = self ? self->scale() : 1;
    UIGraphicsBeginImageContextWithOptions(size, false, scale);
    const CGContextRef ctx = UIGraphicsGetCurrentContext();
    if (self) self->drawInRect(rect);
    // Source-in keeps the drawn alpha and replaces the colour with the fill's.
    CGContextSetBlendMode(ctx, kCGBlendModeSourceIn);
    CGContextSetFillColorWithColor(ctx, cgColorOf(color));
    CGContextFillRect(ctx, rect);
    return finishImageContext();
}

UIImageRef colorizeImageWithColor(const UIImageRef& image, const UIColorRef& color) {
    const CGSize size = sizeOf(image);
    const CGRect rect{CGPointZero, size};
    UIGraphicsBeginImageContext(size);
    const CGContextRef ctx = UIGraphicsGetCurrentContext();
    if (color) color->setFill();
    // Core Graphics draws images bottom-up; flipping UIKit's y-down space keeps the tint upright.
    CGContextTranslateCTM(ctx, 0, size.height);
    CGContextScaleCTM(ctx, 1, -1);
    // Multiplied onto the empty canvas, the image leaves its own pixels.
    CGContextSetBlendMode(ctx, kCGBlendModeMultiply);
    CGContextDrawImage(ctx, rect, pixelsOf(image));
    // The fill reaches only the image's shape, where it multiplies the image by the colour.
    CGContextClipToMask(ctx, rect, pixelsOf(image));
    CGContextAddRect(ctx, rect);
    CGContextDrawPath(ctx, kCGPathFill);
    return finishImageContext();
}

UIImageRef imageWithColorAndSize(const UIColorRef& color, CGSize size) {
    UIGraphicsBeginImageContext(size);
    const CGContextRef ctx = UIGraphicsGetCurrentContext();
    CGContextSetFillColorWithColor(ctx, cgColorOf(color));
    CGContextFillRect(ctx, CGRectMake(0, 0, size.width, size.height));
    return finishImageContext();
}
