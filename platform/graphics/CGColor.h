#pragma once

// Core Graphics colours: an immutable colour is a colour space and 32-bit float components,
// the last of which is the alpha. A colour space is reduced to what colours are read by, its
// model. Every query answers zero or null for a null colour, as the platform does.

#include <cstddef>
#include <cstdint>
#include <memory>
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

using CGColorSpaceRef = std::shared_ptr<const CGColorSpace>;

// An immutable colour: its colour space and its components, alpha last.
class CGColor {
public:
    // A colour of `space` with `components`, stored as given (no clamping).
    CGColor(CGColorSpaceRef space, std::vector<float> components);

    // The colour space the colour was made in.
    const CGColorSpaceRef& colorSpace() const { return space_; }
    // The components, alpha last.
    const std::vector<float>& components() const { return components_; }

private:
    CGColorSpaceRef space_;
    std::vector<float> components_;
};

using CGColorRef = std::shared_ptr<const CGColor>;

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

// The colour space of `color`; null for a null colour.
CGColorSpaceRef CGColorGetColorSpace(const CGColorRef& color);
// The components of `color`, alpha last; null for a null colour or one without components.
const float* CGColorGetComponents(const CGColorRef& color);
// How many components `color` has, alpha included; 0 for a null colour.
size_t CGColorGetNumberOfComponents(const CGColorRef& color);
// The alpha of `color` (its last component); 0 for a null colour, 1 for one without components.
float CGColorGetAlpha(const CGColorRef& color);
