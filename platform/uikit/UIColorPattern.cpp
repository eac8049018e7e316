// The colours that paint a picture: they need images, which the plain colours of UIColor.cpp do
// not, so they are built with the images and views.

#include "platform/uikit/UIColor.h"

#include "platform/uikit/UIImage.h"
#include "platform/uikit/UIPinStripes.h"

UIColorRef UIColor::colorWithPatternImage(const std::shared_ptr<UIImage>& image) {
    if (!image) return nullptr;
    // A coloured pattern carries its alpha as its only component.
    auto pattern = CGPatternCreateWithImage(image->CGImage(), image->size());
    return std::make_shared<UIColor>(
        CGColorCreateWithPattern(CGColorSpaceCreatePattern(), std::move(pattern), {1.0f}));
}

UIColorRef UIColor::pinStripeColor() {
    return colorWithPatternImage(UIPinStripePatternImage());
}
