#include "platform/uikit/UIImage.h"

#include <utility>

#include "platform/foundation/DeviceRoot.h"
#include "platform/uikit/UIGraphics.h"

namespace {

CGFloat scaleFromSelector(id self, SEL) {
    return static_cast<UIImage*>(self)->scale();
}

}  // namespace

// Code written for older systems asks whether an image answers `scale` before using it, so the
// method must be in the class's table, not only a C++ member.
Class UIImage::class_() {
    static const Class cls = objc_defineClass("UIImage", NSObject::class_(),
                                              {UIImageMessage::scale.implementedBy(&scaleFromSelector)});
    return cls;
}

namespace {

CGFloat positiveOrOne(CGFloat scale) {
    return scale > 0 ? scale : 1;
}

bool namesDoubleScale(std::string_view path) {
    constexpr std::string_view suffix = "@2x.png";
    return path.size() >= suffix.size() && path.substr(path.size() - suffix.size()) == suffix;
}

}  // namespace

UIImage::UIImage(CGImageRef image, CGFloat scale, UIImageOrientation orientation)
    : NSObject(class_()),
      image_(std::move(image)),
      scale_(positiveOrOne(scale)),
      orientation_(orientation) {}

UIImageRef UIImage::imageWithContentsOfFile(std::string_view devicePath) {
    const CGFloat scale = namesDoubleScale(devicePath) ? 2 : 1;
    return imageWithCGImage(CGImageCreateWithPNGFile(DeviceRoot::resolve(devicePath)), scale,
                            UIImageOrientationUp);
}

UIImageRef UIImage::imageWithCGImage(CGImageRef image, CGFloat scale,
                                     UIImageOrientation orientation) {
    if (!image) return nullptr;
    return std::make_shared<UIImage>(std::move(image), scale, orientation);
}

UIImageRef UIImage::imageWithIOSurface(const IOSurfaceRef& surface, CGFloat scale,
                                       int orientation) {
    if (!surface) return nullptr;
    return imageWithCGImage(surface->image, scale, static_cast<UIImageOrientation>(orientation));
}

UIImageRef UIImage::imageWithCGImage(CGImageRef image) {
    return imageWithCGImage(std::move(image), 1, UIImageOrientationUp);
}

CGSize UIImage::size() const {
    return {CGImageGetWidth(image_) / scale_, CGImageGetHeight(image_) / scale_};
}

void UIImage::drawInRect(CGRect rect) const {
    drawInRect(rect, kCGBlendModeNormal, 1);
}

void UIImage::drawInRect(CGRect rect, CGBlendMode mode, CGFloat alpha) const {
    const CGContextRef ctx = UIGraphicsGetCurrentContext();
    if (!ctx) return;
    CGContextSaveGState(ctx);
    CGContextSetBlendMode(ctx, mode);
    CGContextSetAlpha(ctx, alpha);
    // Mirror the rect onto itself so that the image's first row lands at its top (minimum y).
    CGContextTranslateCTM(ctx, 0, CGRectGetMinY(rect) + CGRectGetMaxY(rect));
    CGContextScaleCTM(ctx, 1, -1);
    CGContextDrawImage(ctx, rect, image_);
    CGContextRestoreGState(ctx);
}

void UIImage::drawAtPoint(CGPoint point) const {
    drawInRect({point, size()});
}

std::vector<uint8_t> UIImagePNGRepresentation(const UIImageRef& image) {
    return image ? CGImageCopyPNGData(image->CGImage()) : std::vector<uint8_t>{};
}
