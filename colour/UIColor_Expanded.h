#pragma once

// The UIColor_Expanded category: a colour's model and components, a packed 24-bit RGB value,
// luminance and component-wise arithmetic, the colour string, hexadecimal forms, colours by CSS
// name and a random colour. Instance methods take the receiver first; a message to nil answers
// 0, NO, nil or an empty text, as the platform does. Methods that need RGB components report a
// failed precondition to NSAssertionHandler::currentHandler() (file "UIColor-Expanded"); the
// default handler throws NSException, ending the method.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/uikit/UIColor.h"

namespace UIColor_Expanded {

// Red, green, blue and alpha, in that order.
using RGBAComponents = std::array<float, 4>;

// The model of the colour's colour space (a CGColorSpaceModel value).
int32_t colorSpaceModel(const UIColorRef& self);
// The name of the model ("kCGColorSpaceModelRGB", ...); "Not a valid color space" outside -1..6.
std::string colorSpaceString(const UIColorRef& self);
// YES exactly for monochrome and RGB colours, the ones whose components read as RGB.
bool canProvideRGBComponents(const UIColorRef& self);

// Stores red, green, blue and alpha through the non-null pointers (a monochrome colour reads as
// a grey); NO, storing nothing, for any other model.
bool red(const UIColorRef& self, float* red, float* green, float* blue, float* alpha);
// The red component (the white of a monochrome colour). Asserts RGB components.
float red(const UIColorRef& self);
// The green component (the white of a monochrome colour). Asserts RGB components.
float green(const UIColorRef& self);
// The blue component (the white of a monochrome colour). Asserts RGB components.
float blue(const UIColorRef& self);
// The white component. Asserts a monochrome colour.
float white(const UIColorRef& self);
// The alpha, for every model.
float alpha(const UIColorRef& self);
// Red, green, blue and alpha; nil when they cannot be read. Asserts RGB components.
std::optional<RGBAComponents> arrayFromRGBAComponents(const UIColorRef& self);
// 0xRRGGBB of the components clamped to [0, 1] and rounded; 0 when they cannot be read.
// Alpha takes no part. Asserts RGB components.
uint32_t rgbHex(const UIColorRef& self);

// A monochrome colour of the BT.709 luminance and the receiver's alpha, or nil. Asserts RGB
// components. Like every arithmetic result below, a new colour.
UIColorRef colorByLuminanceMapping(const UIColorRef& self);

// Each component times its argument, clamped to [0, 1]; nil when unreadable. Asserts RGB.
UIColorRef colorByMultiplyingByRed(const UIColorRef& self, float red, float green, float blue,
                                   float alpha);
// Each component plus its argument, clamped to [0, 1]; nil when unreadable. Asserts RGB.
UIColorRef colorByAddingRed(const UIColorRef& self, float red, float green, float blue,
                            float alpha);
// The larger of each component and its argument, unclamped; nil when unreadable. Asserts RGB.
UIColorRef colorByLighteningToRed(const UIColorRef& self, float red, float green, float blue,
                                  float alpha);
// The smaller of each component and its argument, unclamped; nil when unreadable. Asserts RGB.
UIColorRef colorByDarkeningToRed(const UIColorRef& self, float red, float green, float blue,
                                 float alpha);

// Red, green and blue multiplied by `factor`; alpha kept.
UIColorRef colorByMultiplyingBy(const UIColorRef& self, float factor);
// `amount` added to red, green and blue; alpha kept.
UIColorRef colorByAdding(const UIColorRef& self, float amount);
// Red, green and blue raised to at least `level`; alpha kept.
UIColorRef colorByLighteningTo(const UIColorRef& self, float level);
// Red, green and blue lowered to at most `level`; alpha kept.
UIColorRef colorByDarkeningTo(const UIColorRef& self, float level);

// Red, green and blue multiplied by those of `color`; alpha kept. Nil when `color` has no RGB.
UIColorRef colorByMultiplyingByColor(const UIColorRef& self, const UIColorRef& color);
// Red, green and blue of `color` added; alpha kept. Nil when `color` has no RGB components.
UIColorRef colorByAddingColor(const UIColorRef& self, const UIColorRef& color);
// Red, green and blue raised to at least those of `color`; alpha kept. Nil without RGB.
UIColorRef colorByLighteningToColor(const UIColorRef& self, const UIColorRef& color);
// Red, green and blue lowered to at most those of `color`; alpha kept. Nil without RGB.
UIColorRef colorByDarkeningToColor(const UIColorRef& self, const UIColorRef& color);

// The colour string, "{r, g, b, a}" or "{w, a}" with three decimals each; nil for other models.
// Asserts RGB components.
std::optional<std::string> stringFromColor(const UIColorRef& self);
// rgbHex as six upper-case hexadecimal digits ("FF8000"). Asserts RGB components.
std::string hexStringFromColor(const UIColorRef& self);

// The colour of a colour string: "{" two or four numbers separated by "," "}", white space
// allowed before every token and at the end. Two numbers give (white, alpha), four (red, green,
// blue, alpha), unchanged; nil for any other text.
UIColorRef colorWithString(std::string_view text);
// The opaque RGB colour of bits 16-23 (red), 8-15 (green) and 0-7 (blue) of `value`.
UIColorRef colorWithRGBHex(uint32_t value);
// colorWithRGBHex of the hexadecimal number at the start of `text` (after white space and an
// optional 0x); nil when no hexadecimal digit starts it.
UIColorRef colorWithHexString(std::string_view text);
// The CSS colour of the exact lower-case `name`, or nil. Answers from the name cache: the same
// object for every ask of a name, and one table search per name, unknown names included.
UIColorRef colorWithName(std::string_view name);
// An opaque RGB colour whose red, green and blue are drawn from random(), each in [0, 1).
UIColorRef randomColor();

// The category's load hook: creates the name cache. Runs when the library is loaded; later
// calls do nothing.
void load();

}  // namespace UIColor_Expanded

namespace UIColor_Expanded::TestApi {

// The component randomColor makes of one value drawn from random().
float randomComponent(long drawn);

}  // namespace UIColor_Expanded::TestApi
