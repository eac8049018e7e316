// UIColor_Expanded: luminance and component-wise arithmetic. Every result is a new colour.

#include <algorithm>

#include "colour/CategoryMessages.h"
#include "colour/UIColor_Expanded.h"

namespace UIColor_Expanded {

using detail::require;
using detail::sendTo;

namespace {

constexpr std::string_view kArithmeticDescription =
    "Must be a RGB color to use arithmatic operations";

// A four-component operation: its selector, the line it reports a failed check under, and what
// it makes of each own component and its argument.
struct ComponentOperation {
    std::string_view selector;
    int line;
    float (*combine)(float own, float argument);
};

// Multiplying and adding keep the result within [0, 1]; NaN compares false and passes through.
float clampUnit(float value) {
    return value > 1.0f ? 1.0f : value < 0.0f ? 0.0f : value;
}

constexpr ComponentOperation kMultiply{"colorByMultiplyingByRed:green:blue:alpha:", 191,
                                       [](float own, float by) { return clampUnit(own * by); }};
constexpr ComponentOperation kAdd{"colorByAddingRed:green:blue:alpha:", 203,
                                  [](float own, float add) { return clampUnit(own + add); }};
constexpr ComponentOperation kLighten{"colorByLighteningToRed:green:blue:alpha:", 215,
                                      [](float own, float to) { return std::max(own, to); }};
constexpr ComponentOperation kDarken{"colorByDarkeningToRed:green:blue:alpha:", 227,
                                     [](float own, float to) { return std::min(own, to); }};

using FourComponentForm = UIColorRef (*)(const UIColorRef&, float, float, float, float);

// A form taking a colour: its own selector and line, the four-component form it hands on to, and
// the alpha argument that leaves the receiver's alpha as it is.
struct ColorOperation {
    std::string_view selector;
    int line;
    FourComponentForm form;
    float neutralAlpha;
};

constexpr ColorOperation kMultiplyByColor{"colorByMultiplyingByColor:", 255,
                                          colorByMultiplyingByRed, 1.0f};
constexpr ColorOperation kAddColor{"colorByAddingColor:", 264, colorByAddingRed, 0.0f};
constexpr ColorOperation kLightenToColor{"colorByLighteningToColor:", 273, colorByLighteningToRed,
                                         0.0f};
constexpr ColorOperation kDarkenToColor{"colorByDarkeningToColor:", 282, colorByDarkeningToRed,
                                        1.0f};

std::optional<RGBAComponents> componentsOf(const UIColorRef& color) {
    RGBAComponents components;
    if (!red(color, &components[0], &components[1], &components[2], &components[3])) {
        return std::nullopt;
    }
    return components;
}

void requireArithmetic(const UIColorRef& self, std::string_view selector, int line) {
    require(canProvideRGBComponents(self), self, selector, line, kArithmeticDescription);
}

UIColorRef apply(const ComponentOperation& operation, const UIColorRef& self,
                 const RGBAComponents& arguments) {
    return sendTo(self, [&]() -> UIColorRef {
        requireArithmetic(self, operation.selector, operation.line);
        std::optional<RGBAComponents> own = componentsOf(self);
        if (!own) return nullptr;
        RGBAComponents result;
        for (size_t i = 0; i < result.size(); ++i) {
            result[i] = operation.combine((*own)[i], arguments[i]);
        }
        return UIColor::colorWithRed(result[0], result[1], result[2], result[3]);
    });
}

// The receiver is checked here and again by the four-component form, each under its own line.
UIColorRef applyColor(const ColorOperation& operation, const UIColorRef& self,
                      const UIColorRef& color) {
    return sendTo(self, [&]() -> UIColorRef {
        requireArithmetic(self, operation.selector, operation.line);
        std::optional<RGBAComponents> argument = componentsOf(color);
        if (!argument) return nullptr;
        // The argument's alpha takes no part.
        const RGBAComponents& c = *argument;
        return operation.form(self, c[0], c[1], c[2], operation.neutralAlpha);
    });
}

}  // namespace

UIColorRef colorByLuminanceMapping(const UIColorRef& self) {
    return sendTo(self, [&]() -> UIColorRef {
        requireArithmetic(self, "colorByLuminanceMapping", 178);
        std::optional<RGBAComponents> c = componentsOf(self);
        if (!c) return nullptr;
        // The ITU-R BT.709 luma weights, summed in this order in single precision.
        float luminance = ((*c)[0] * 0.2126f + (*c)[1] * 0.7152f) + (*c)[2] * 0.0722f;
        return UIColor::colorWithWhite(luminance, (*c)[3]);
    });
}

UIColorRef colorByMultiplyingByRed(const UIColorRef& self, float red, float green, float blue,
                                   float alpha) {
    return apply(kMultiply, self, {red, green, blue, alpha});
}

UIColorRef colorByAddingRed(const UIColorRef& self, float red, float green, float blue,
                            float alpha) {
    return apply(kAdd, self, {red, green, blue, alpha});
}

UIColorRef colorByLighteningToRed(const UIColorRef& self, float red, float green, float blue,
                                  float alpha) {
    return apply(kLighten, self, {red, green, blue, alpha});
}

UIColorRef colorByDarkeningToRed(const UIColorRef& self, float red, float green, float blue,
                                 float alpha) {
    return apply(kDarken, self, {red, green, blue, alpha});
}

// The single-value forms pass as alpha the neutral value of their operation (1 for multiplying
// and darkening, 0 for adding and lightening), so the result keeps the receiver's alpha.

UIColorRef colorByMultiplyingBy(const UIColorRef& self, float factor) {
    return colorByMultiplyingByRed(self, factor, factor, factor, 1.0f);
}

UIColorRef colorByAdding(const UIColorRef& self, float amount) {
    return colorByAddingRed(self, amount, amount, amount, 0.0f);
}

UIColorRef colorByLighteningTo(const UIColorRef& self, float level) {
    return colorByLighteningToRed(self, level, level, level, 0.0f);
}

UIColorRef colorByDarkeningTo(const UIColorRef& self, float level) {
    return colorByDarkeningToRed(self, level, level, level, 1.0f);
}

UIColorRef colorByMultiplyingByColor(const UIColorRef& self, const UIColorRef& color) {
    return applyColor(kMultiplyByColor, self, color);
}

UIColorRef colorByAddingColor(const UIColorRef& self, const UIColorRef& color) {
    return applyColor(kAddColor, self, color);
}

UIColorRef colorByLighteningToColor(const UIColorRef& self, const UIColorRef& color) {
    return applyColor(kLightenToColor, self, color);
}

UIColorRef colorByDarkeningToColor(const UIColorRef& self, const UIColorRef& color) {
    return applyColor(kDarkenToColor, self, color);
}

}  // namespace UIColor_Expanded
