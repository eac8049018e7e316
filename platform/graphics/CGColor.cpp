#include "platform/graphics/CGColor.h"

#include <utility>

CGColor::CGColor(CGColorSpaceRef space, std::vector<float> components, CGPatternRef pattern)
    : space_(std::move(space)), components_(std::move(components)), pattern_(std::move(pattern)) {}

CGColorSpaceRef CGColorSpaceCreateDeviceGray() {
    static const auto space = std::make_shared<const CGColorSpace>(kCGColorSpaceModelMonochrome);
    return space;
}

CGColorSpaceRef CGColorSpaceCreateDeviceRGB() {
    static const auto space = std::make_shared<const CGColorSpace>(kCGColorSpaceModelRGB);
    return space;
}

CGColorSpaceRef CGColorSpaceCreatePattern() {
    static const auto space = std::make_shared<const CGColorSpace>(kCGColorSpaceModelPattern);
    return space;
}

CGColorSpaceModel CGColorSpaceGetModel(const CGColorSpaceRef& space) {
    return space ? space->model() : kCGColorSpaceModelUnknown;
}

CGColorRef CGColorCreate(CGColorSpaceRef space, std::vector<float> components) {
    return std::make_shared<const CGColor>(std::move(space), std::move(components));
}

CGPatternRef CGPatternCreateWithImage(CGImageRef image, CGSize step) {
    // Colours are built even without the drawing half of the library, so the image is only held
    // here, never read.
    if (!image || !(step.width > 0) || !(step.height > 0)) return nullptr;
    return std::make_shared<const CGPattern>(std::move(image), step);
}

CGColorRef CGColorCreateWithPattern(CGColorSpaceRef space, CGPatternRef pattern,
                                    std::vector<float> components) {
    return std::make_shared<const CGColor>(std::move(space), std::move(components),
                                           std::move(pattern));
}

CGColorRef CGColorCreateCopyWithAlpha(const CGColorRef& color, float alpha) {
    if (!color) return nullptr;
    std::vector<float> components = color->components();
    if (components.empty()) components.push_back(alpha);
    components.back() = alpha;
    return std::make_shared<const CGColor>(color->colorSpace(), std::move(components),
                                           color->pattern());
}

CGPatternRef CGColorGetPattern(const CGColorRef& color) {
    return color ? color->pattern() : nullptr;
}

CGColorSpaceRef CGColorGetColorSpace(const CGColorRef& color) {
    return color ? color->colorSpace() : nullptr;
}

const float* CGColorGetComponents(const CGColorRef& color) {
    if (!color || color->components().empty()) return nullptr;
    return color->components().data();
}

size_t CGColorGetNumberOfComponents(const CGColorRef& color) {
    return color ? color->components().size() : 0;
}

float CGColorGetAlpha(const CGColorRef& color) {
    if (!color) return 0.0f;
    // A colour made without components is opaque.
    return color->components().empty() ? 1.0f : color->components().back();
}
