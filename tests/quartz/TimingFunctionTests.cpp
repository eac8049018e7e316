#include "platform/quartz/CAMediaTimingFunction.h"

#include <gtest/gtest.h>

namespace {

struct Sample {
    std::string_view name;
    double progress;
    double expected;
};

// Values of the cubic Bezier curves at chosen points, worked out independently (the curve's y at
// the parameter whose x is the progress).
TEST(CAMediaTimingFunction, NamedCurvesGiveTheirExactValues) {
    const Sample samples[] = {
        {kCAMediaTimingFunctionLinear, 0.25, 0.25},
        {kCAMediaTimingFunctionLinear, 0.7, 0.7},
        {kCAMediaTimingFunctionEaseInEaseOut, 0.5, 0.5},
        {kCAMediaTimingFunctionEaseInEaseOut, 0.25, 0.1291619},
        {kCAMediaTimingFunctionEaseIn, 0.5, 0.3153568},
        {kCAMediaTimingFunctionEaseOut, 0.5, 0.6846432},
        {kCAMediaTimingFunctionDefault, 0.5, 0.8024034},
        {"noSuchCurve", 0.3, 0.3},
    };
    for (const Sample& s : samples) {
        const auto curve = CAMediaTimingFunction::functionWithName(s.name);
        EXPECT_NEAR(curve.evaluate(s.progress), s.expected, 1e-6) << s.name << " at " << s.progress;
    }
}

TEST(CAMediaTimingFunction, EndsAreExactAndProgressIsClamped) {
    for (auto name : {kCAMediaTimingFunctionEaseIn, kCAMediaTimingFunctionEaseOut,
                      kCAMediaTimingFunctionEaseInEaseOut, kCAMediaTimingFunctionDefault}) {
        const auto curve = CAMediaTimingFunction::functionWithName(name);
        EXPECT_EQ(curve.evaluate(0), 0) << name;
        EXPECT_EQ(curve.evaluate(1), 1) << name;
        EXPECT_EQ(curve.evaluate(-0.5), 0) << name;
        EXPECT_EQ(curve.evaluate(1.5), 1) << name;
    }
}

TEST(CAMediaTimingFunction, ControlPointCurvesMirrorAndStayMonotonic) {
    const auto in = CAMediaTimingFunction::functionWithControlPoints(0.42f, 0, 1, 1);
    const auto out = CAMediaTimingFunction::functionWithControlPoints(0, 0, 0.58f, 1);
    double last = 0;
    for (int i = 1; i < 100; ++i) {
        const double p = i / 100.0;
        EXPECT_NEAR(in.evaluate(p), 1 - out.evaluate(1 - p), 1e-6);
        EXPECT_GE(in.evaluate(p), last);
        last = in.evaluate(p);
    }
    float point[2];
    in.getControlPointAtIndex(1, point);
    EXPECT_FLOAT_EQ(point[0], 0.42f);
    EXPECT_FLOAT_EQ(point[1], 0);
}

}  // namespace
