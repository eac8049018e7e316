#pragma once

// What an animation or a filter holds as a value: the numbers, geometry values and strings that the
// platform wraps in NSNumber, NSValue and NSString. An empty value is nil.

#include "platform/graphics/CGGeometry.h"

#include <string>
#include <variant>

using CAValue = std::variant<std::monostate, bool, double, CGPoint, CGSize, CGRect,
                             CGAffineTransform, std::string>;

// Whether the value is nil.
inline bool CAValueIsNil(const CAValue& value) {
    return std::holds_alternative<std::monostate>(value);
}
// The number held (a boolean as 0 or 1); 0 for nil or a value that is no number, as a message to
// nil answers zero.
double CAValueDoubleValue(const CAValue& value);
// The number held, narrowed to a 32-bit float.
inline float CAValueFloatValue(const CAValue& value) {
    return static_cast<float>(CAValueDoubleValue(value));
}
// The string held; "" for any other value.
std::string CAValueStringValue(const CAValue& value);

// The value a fraction `progress` of the way from `from` to `to`. Numbers, points, sizes and
// rectangles interpolate linearly; transforms interpolate their translation, rotation, scale and
// shear so that a turning view keeps its size; booleans and strings keep `from` until the end.
// Values of different kinds (or nil) jump to `to` at the end.
CAValue CAValueInterpolate(const CAValue& from, const CAValue& to, double progress);
// `value` plus `by`, for animations given a by-value: numbers, points, sizes and rectangles add
// component-wise, transforms concatenate; anything else answers `value`.
CAValue CAValueAdd(const CAValue& value, const CAValue& by);
