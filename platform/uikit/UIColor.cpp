#include "platform/uikit/UIColor.h"

#include "platform/uikit/UIGraphics.h"

#include <utility>

namespace {

UIColorRef colorIn(CGColorSpaceRef space, std::vector<float> components) {
    return std::make_shared<UIColor>(CGColorCreate(std::move(space), std::move(components)));
}

}  // namespace

UIColor::UIColor(CGColorRef color) : color_(std::move(color)) {}

UIColorRef UIColor::colorWithRed(double red, double green, double blue, double alpha) {
    return colorIn(CGColorSpaceCreateDeviceRGB(),
                   {static_cast<float>(red), static_cast<float>(green), static_cast<float>(blue),
                    static_cast<float>(alpha)});
}

UIColorRef UIColor::colorWithWhite(double white, double alpha) {
    return colorIn(CGColorSpaceCreateDeviceGray(),
                   {static_cast<float>(white), static_cast<float>(alpha)});
}

UIColorRef UIColor::colorWithCGColor(CGColorRef color) {
    return color ? std::make_shared<UIColor>(std::move(color)) : nullptr;
}

UIColorRef UIColor::clearColor() {
    return colorWithWhite(0.0, 0.0);
}

UIColorRef UIColor::blackColor() {
    return colorWithWhite(0.0, 1.0);
}

UIColorRef UIColor::whiteColor() {
    return colorWithWhite(1.0, 1.0);
}

UIColorRef UIColor::colorWithModelForTesting(int32_t model) {
    // Readers of these two models index their components, so they get a full set.
    if (model == kCGColorSpaceModelMonochrome) return blackColor();
    if (model == kCGColorSpaceModelRGB) return colorWithRed(0.0, 0.0, 0.0, 1.0);
    auto space = std::make_shared<const CGColorSpace>(static_cast<CGColorSpaceModel>(model));
    return colorIn(std::move(space), {1.0f});
}

void UIColor::setFill() const { CGContextSetFillColorWithColor(UIGraphicsGetCurrentContext(), color_); }

void UIColor::setStroke() const {
    CGContextSetStrokeColorWithColor(UIGraphicsGetCurrentContext(), color_);
}

UIColorRef UIColor::darkGrayColor() { return colorWithWhite(1.0 / 3.0, 1); }

UIColorRef UIColor::colorWithAlphaComponent(double alpha) const {
    return std::make_shared<UIColor>(CGColorCreateCopyWithAlpha(color_, static_cast<float>(alpha)));
}
