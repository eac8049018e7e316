#pragma once

// The platform colour class: an immutable object wrapping a Core Graphics colour. Components are
// stored as 32-bit floats exactly as given; nothing clamps them to [0, 1].

#include <cstdint>
#include <memory>

#include "platform/graphics/CGColor.h"
#include "platform/uikit/Forward.h"

class UIColor {
public:
    // Wraps `color`, which must not be null.
    explicit UIColor(CGColorRef color);

    // An RGB colour of these components.
    static UIColorRef colorWithRed(double red, double green, double blue, double alpha);
    // A monochrome colour of this white and alpha.
    static UIColorRef colorWithWhite(double white, double alpha);
    // A colour wrapping `color`; nil for a null colour.
    static UIColorRef colorWithCGColor(CGColorRef color);

    // The monochrome colour of white 0 and alpha 0.
    static UIColorRef clearColor();
    // The monochrome colour of white 0 and alpha 1.
    static UIColorRef blackColor();
    // The monochrome colour of white 1 and alpha 1.
    static UIColorRef whiteColor();
    // The monochrome colour of white 1/3 and alpha 1.
    static UIColorRef darkGrayColor();
    // This colour with its alpha replaced by `alpha` (same model); a colour of another model
    // keeps its components and takes the alpha, and a pattern colour keeps its picture.
    UIColorRef colorWithAlphaComponent(double alpha) const;

    // An opaque pattern colour that paints `image` repeated edge to edge from the origin of what
    // it fills, each repeat the image's size in points. Its model is pattern and its only
    // component its alpha, 1. Nil for a nil image.
    static UIColorRef colorWithPatternImage(const std::shared_ptr<UIImage>& image);

    // An opaque pattern colour: its model is pattern and it has no colour components to read.
    // Its picture, one tile of the stripes, is UIPinStripePatternImage (UIPinStripes.h).
    static UIColorRef pinStripeColor();

    // An opaque colour of any model value, including ones the platform never produces (-1, 7).
    // Monochrome and RGB give opaque black; any other model holds only its alpha.
    static UIColorRef colorWithModelForTesting(int32_t model);

    // The Core Graphics colour this object wraps; never null.
    CGColorRef CGColor() const { return color_; }

    // Makes this colour the fill (or stroke) colour of the current UIKit context; nothing
    // without a current context.
    void setFill() const;
    void setStroke() const;

private:
    CGColorRef color_;
};
