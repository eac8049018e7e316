#pragma once

// Core Graphics colours: an immutable colour is a colour space and 32-bit float components,
// the last of which is the alpha. A colour space is reduced to what colours are read by, its
// model. A pattern colour also carries its picture, a pattern: one tile image repeated edge to
// edge. Every query answers zero or null for a null colour, as the platform does.

#include "platform/graphics/CGGeometry.h"
#include "platform/graphics/Forward.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

// The colour-space models, with the values the platform reports.
enum CGColorSpaceModel : int32_t {
    kCGColorSpaceModelUnknown = -1,
    kCGColorSpaceModelMonochrome = 0,
    kCGColorSpaceModelRGB = 1,
    kCGColorSpaceModelCMYK = 2,
    kCGColorSpaceModelLab = 3,
    kCGColorSpaceModelDeviceN = 4,
    kCGColorSpaceModelIndexed = 5,
    kCGColorSpaceModelPattern = 6,
};

// A colour space of one model. Any model value is held as given, so tests can make colours of
// models the platform never produces.
class CGColorSpace {
public:
    // A colour space of `model`.
    explicit CGColorSpace(CGColorSpaceModel model) : model_(model) {}

    // The model this colour space was made with.
    CGColorSpaceModel model() const { return model_; }

private:
    CGColorSpaceModel model_;
};

// The picture a pattern colour paints: one tile image, repeated edge to edge from the origin of
// the space it fills, each repeat `step` wide and high in that space (the tile's pixels are
// scaled to fit, so a tile drawn at a screen's scale keeps its size in points).
class CGPattern {
public:
    // A pattern of `image` repeated every `step`.
    CGPattern(CGImageRef image, CGSize step) : image_(std::move(image)), step_(step) {}

    // The tile.
    const CGImageRef& image() const { return image_; }
    // The size of one repeat in the space the pattern fills.
    CGSize step() const { return step_; }

private:
    CGImageRef image_;
    CGSize step_;
};

// An immutable colour: its colour space and its components, alpha last, and for a pattern colour
// the pattern it paints.
class CGColor {
public:
    // A colour of `space` with `components`, stored as given (no clamping), painting `pattern`
    // when there is one.
    CGColor(CGColorSpaceRef space, std::vector<float> components, CGPatternRef pattern = nullptr);

    // The colour space the colour was made in.
    const CGColorSpaceRef& colorSpace() const { return space_; }
    // The components, alpha last.
    const std::vector<float>& components() const { return components_; }
    // The pattern the colour paints; null for a colour that paints no pattern.
    const CGPatternRef& pattern() const { return pattern_; }

private:
    CGColorSpaceRef space_;
    std::vector<float> components_;
    CGPatternRef pattern_;
};

// The shared grey colour space (components: white, alpha).
CGColorSpaceRef CGColorSpaceCreateDeviceGray();
// The shared RGB colour space (components: red, green, blue, alpha).
CGColorSpaceRef CGColorSpaceCreateDeviceRGB();
// The shared colour space of coloured patterns (components: alpha only).
CGColorSpaceRef CGColorSpaceCreatePattern();

// The model of `space`; kCGColorSpaceModelUnknown for a null space.
CGColorSpaceModel CGColorSpaceGetModel(const CGColorSpaceRef& space);

// A new colour of `space` with `components`, alpha last, stored unchanged.
CGColorRef CGColorCreate(CGColorSpaceRef space, std::vector<float> components);

// A pattern repeating `image` every `step`; null for a null image or a step without area.
CGPatternRef CGPatternCreateWithImage(CGImageRef image, CGSize step);
// A new colour of `space` (a pattern space) painting `pattern` with `components` (for a coloured
// pattern, its alpha alone), stored unchanged. A null pattern gives a colour that paints none.
CGColorRef CGColorCreateWithPattern(CGColorSpaceRef space, CGPatternRef pattern,
                                    std::vector<float> components);
// A copy of `color` (its space, its pattern) with its alpha replaced by `alpha`; a colour without
// components gets `alpha` as its only one. Null for a null colour.
CGColorRef CGColorCreateCopyWithAlpha(const CGColorRef& color, float alpha);
// The pattern `color` paints; null for a null colour or one that paints no pattern.
CGPatternRef CGColorGetPattern(const CGColorRef& color);

// The colour space of `color`; null for a null colour.
CGColorSpaceRef CGColorGetColorSpace(const CGColorRef& color);
// The components of `color`, alpha last; null for a null colour or one without components.
const float* CGColorGetComponents(const CGColorRef& color);
// How many components `color` has, alpha included; 0 for a null colour.
size_t CGColorGetNumberOfComponents(const CGColorRef& color);
// The alpha of `color` (its last component); 0 for a null colour, 1 for one without components.
float CGColorGetAlpha(const CGColorRef& color);
