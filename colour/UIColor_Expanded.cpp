// UIColor_Expanded: the colour-space model and reading a colour's components.

#include "colour/UIColor_Expanded.h"

#include <cmath>

#include "colour/CategoryMessages.h"

namespace UIColor_Expanded {

using detail::require;
using detail::sendTo;

namespace {

std::string_view modelName(int32_t model) {
    switch (model) {
        case kCGColorSpaceModelUnknown:
            return "kCGColorSpaceModelUnknown";
        case kCGColorSpaceModelMonochrome:
            return "kCGColorSpaceModelMonochrome";
        case kCGColorSpaceModelRGB:
            return "kCGColorSpaceModelRGB";
        case kCGColorSpaceModelCMYK:
            return "kCGColorSpaceModelCMYK";
        case kCGColorSpaceModelLab:
            return "kCGColorSpaceModelLab";
        case kCGColorSpaceModelDeviceN:
            return "kCGColorSpaceModelDeviceN";
        case kCGColorSpaceModelIndexed:
            return "kCGColorSpaceModelIndexed";
        case kCGColorSpaceModelPattern:
            return "kCGColorSpaceModelPattern";
        default:
            return "Not a valid color space";
    }
}

// The components of a receiver that exists, a monochrome colour read as a grey.
std::optional<RGBAComponents> componentsOf(const UIColorRef& self) {
    const float* stored = CGColorGetComponents(self->CGColor());
    switch (colorSpaceModel(self)) {
        case kCGColorSpaceModelRGB:
            return RGBAComponents{stored[0], stored[1], stored[2], stored[3]};
        case kCGColorSpaceModelMonochrome:
            return RGBAComponents{stored[0], stored[0], stored[0], stored[1]};
        default:
            return std::nullopt;
    }
}

// One RGB component of a receiver that exists. When an installed assertion handler lets an
// accessor go on with a colour of another model, there is no such component: it reads as 0.
float componentOf(const UIColorRef& self, int index) {
    return componentsOf(self).value_or(RGBAComponents{})[index];
}

void requireRGB(const UIColorRef& self, std::string_view selector, int line,
                std::string_view description) {
    require(canProvideRGBComponents(self), self, selector, line, description);
}

void store(float* destination, float value) {
    if (destination) *destination = value;
}

// One byte of rgbHex. "Not above 0" rather than "below 0" also takes NaN to 0.
uint32_t hexByte(float component) {
    float held = !(component > 0.0f) ? 0.0f : component >= 1.0f ? 1.0f : component;
    return static_cast<uint32_t>(std::roundf(held * 255.0f));
}

}  // namespace

int32_t colorSpaceModel(const UIColorRef& self) {
    return sendTo(self, [&] {
        return static_cast<int32_t>(CGColorSpaceGetModel(CGColorGetColorSpace(self->CGColor())));
    });
}

std::string colorSpaceString(const UIColorRef& self) {
    return sendTo(self, [&] { return std::string(modelName(colorSpaceModel(self))); });
}

bool canProvideRGBComponents(const UIColorRef& self) {
    // Compared unsigned, so the unknown model (-1) is not taken for monochrome or RGB.
    return sendTo(self, [&] { return static_cast<uint32_t>(colorSpaceModel(self)) < 2; });
}

bool red(const UIColorRef& self, float* red, float* green, float* blue, float* alpha) {
    return sendTo(self, [&] {
        std::optional<RGBAComponents> components = componentsOf(self);
        if (!components) return false;
        store(red, (*components)[0]);
        store(green, (*components)[1]);
        store(blue, (*components)[2]);
        store(alpha, (*components)[3]);
        return true;
    });
}

float red(const UIColorRef& self) {
    return sendTo(self, [&] {
        requireRGB(self, "red", 131, "Must be an RGB color to use -red");
        return componentOf(self, 0);
    });
}

float green(const UIColorRef& self) {
    return sendTo(self, [&] {
        requireRGB(self, "green", 137, "Must be an RGB color to use -green");
        return componentOf(self, 1);
    });
}

float blue(const UIColorRef& self) {
    return sendTo(self, [&] {
        requireRGB(self, "blue", 144, "Must be an RGB color to use -blue");
        return componentOf(self, 2);
    });
}

float white(const UIColorRef& self) {
    return sendTo(self, [&] {
        bool monochrome = colorSpaceModel(self) == kCGColorSpaceModelMonochrome;
        require(monochrome, self, "white", 151, "Must be a Monochrome color to use -white");
        return monochrome ? CGColorGetComponents(self->CGColor())[0] : 0.0f;
    });
}

float alpha(const UIColorRef& self) {
    return sendTo(self, [&] { return CGColorGetAlpha(self->CGColor()); });
}

std::optional<RGBAComponents> arrayFromRGBAComponents(const UIColorRef& self) {
    return sendTo(self, [&] {
        requireRGB(self, "arrayFromRGBAComponents", 89,
                   "Must be an RGB color to use -arrayFromRGBAComponents");
        return componentsOf(self);
    });
}

uint32_t rgbHex(const UIColorRef& self) {
    return sendTo(self, [&] {
        requireRGB(self, "rgbHex", 161, "Must be a RGB color to use rgbHex");
        std::optional<RGBAComponents> c = componentsOf(self);
        if (!c) return 0u;
        return (hexByte((*c)[0]) << 16) | (hexByte((*c)[1]) << 8) | hexByte((*c)[2]);
    });
}

}  // namespace UIColor_Expanded
