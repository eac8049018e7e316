#pragma once

// Timing curves: a cubic Bezier from (0, 0) to (1, 1) through two control points, mapping the
// fraction of an animation's time that has passed to the fraction of the way its value has gone.

#include <string_view>

inline constexpr std::string_view kCAMediaTimingFunctionLinear = "linear";
inline constexpr std::string_view kCAMediaTimingFunctionEaseIn = "easeIn";
inline constexpr std::string_view kCAMediaTimingFunctionEaseOut = "easeOut";
inline constexpr std::string_view kCAMediaTimingFunctionEaseInEaseOut = "easeInEaseOut";
inline constexpr std::string_view kCAMediaTimingFunctionDefault = "default";

class CAMediaTimingFunction {
public:
    // The named curve; an unknown name gives the linear curve.
    static CAMediaTimingFunction functionWithName(std::string_view name);
    // The curve with control points (x1, y1) and (x2, y2); x1 and x2 are clamped to [0, 1] so that
    // time never runs backwards.
    static CAMediaTimingFunction functionWithControlPoints(float x1, float y1, float x2, float y2);

    // The linear curve.
    CAMediaTimingFunction() = default;

    // The fraction of the value at time fraction `progress`; `progress` is clamped to [0, 1], and
    // 0 and 1 map exactly to 0 and 1.
    double evaluate(double progress) const;
    // Control point 1 (index 1) or 2 (index 2); (0, 0) and (1, 1) for indices 0 and 3.
    void getControlPointAtIndex(int index, float point[2]) const;

    bool operator==(const CAMediaTimingFunction&) const = default;

private:
    CAMediaTimingFunction(float x1, float y1, float x2, float y2)
        : x1_(x1), y1_(y1), x2_(x2), y2_(y2) {}

    float x1_ = 0, y1_ = 0, x2_ = 1, y2_ = 1;
};
