// Paths: building them, and walking along them by length.

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "platform/graphics/CGPath.h"

namespace {

void expectNear(CGPoint actual, CGPoint expected, float tolerance = 0.01f) {
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
}

TEST(CGPath, BuildsElementsThroughTheTransformAndNeedsAStartForSegments) {
    const CGMutablePathRef path = CGPathCreateMutable();
    CGPathAddLineToPoint(path, nullptr, 5, 5);  // no current point: ignored
    CGPathCloseSubpath(path);                   // nothing open: ignored
    EXPECT_TRUE(CGPathIsEmpty(path));
    const CGAffineTransform shift = CGAffineTransformMakeTranslation(10, 0);
    CGPathMoveToPoint(path, &shift, 1, 2);
    CGPathAddQuadCurveToPoint(path, nullptr, 3, 4, 5, 6);
    CGPathAddCurveToPoint(path, &shift, 0, 0, 1, 1, 2, 2);
    CGPathCloseSubpath(path);
    const std::vector<CGPathElement> expected = {
        {kCGPathElementMoveToPoint, {{11, 2}}},
        {kCGPathElementAddQuadCurveToPoint, {{3, 4}, {5, 6}}},
        {kCGPathElementAddCurveToPoint, {{10, 0}, {11, 1}, {12, 2}}},
        {kCGPathElementCloseSubpath, {}},
    };
    EXPECT_EQ(path->elements(), expected);
    EXPECT_EQ(CGPathGetCurrentPoint(path), CGPointMake(11, 2));  // back at the subpath's start
    EXPECT_TRUE(CGPathIsEmpty(nullptr));
}

TEST(CGPath, AddRectMakesAClosedSubpathFromTheMinimumCorner) {
    const CGMutablePathRef path = CGPathCreateMutable();
    CGPathAddRect(path, nullptr, CGRectMake(4, 3, -2, 2));  // a negative width is normalised
    ASSERT_EQ(path->elements().size(), 5u);
    EXPECT_EQ(path->elements()[0].points[0], CGPointMake(2, 3));
    EXPECT_EQ(path->elements()[1].points[0], CGPointMake(4, 3));
    EXPECT_EQ(path->elements()[3].points[0], CGPointMake(2, 5));
    EXPECT_EQ(path->elements()[4].type, kCGPathElementCloseSubpath);
    EXPECT_FLOAT_EQ(CGPathGetLength(path), 8);
}

TEST(CGPath, PointsAtFractionsOfLengthArePacedByDistance) {
    // An L: 30 across, then 10 up. Equal fractions are equal distances, whatever the segments.
    const CGMutablePathRef ell = CGPathCreateMutable();
    CGPathMoveToPoint(ell, nullptr, 0, 0);
    CGPathAddLineToPoint(ell, nullptr, 30, 0);
    CGPathAddLineToPoint(ell, nullptr, 30, 10);
    const struct {
        CGFloat fraction;
        CGPoint expected;
    } cases[] = {
        {0, {0, 0}},   {0.25f, {10, 0}}, {0.75f, {30, 0}}, {0.875f, {30, 5}},
        {1, {30, 10}}, {-1, {0, 0}},     {2, {30, 10}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fraction);
        expectNear(CGPathPointAtFractionOfLength(ell, c.fraction), c.expected);
    }
}

TEST(CGPath, CurvesAreMeasuredAlongTheCurve) {
    // A quarter circle of radius 100 as one cubic (control distance 0.5523 r).
    const CGFloat k = 55.228f;
    const CGMutablePathRef arc = CGPathCreateMutable();
    CGPathMoveToPoint(arc, nullptr, 100, 0);
    CGPathAddCurveToPoint(arc, nullptr, 100, k, k, 100, 0, 100);
    EXPECT_NEAR(CGPathGetLength(arc), 50 * std::numbers::pi, 0.1);
    const CGFloat diagonal = 100 / std::numbers::sqrt2_v<float>;
    expectNear(CGPathPointAtFractionOfLength(arc, 0.5f), {diagonal, diagonal}, 0.05f);

    // A quadratic that is symmetric about x = 50: half its length is at its apex.
    const CGMutablePathRef hump = CGPathCreateMutable();
    CGPathMoveToPoint(hump, nullptr, 0, 0);
    CGPathAddQuadCurveToPoint(hump, nullptr, 50, 80, 100, 0);
    expectNear(CGPathPointAtFractionOfLength(hump, 0.5f), {50, 40}, 0.05f);
}

TEST(CGPath, MovesBetweenSubpathsAddNoLengthAndClosingAddsTheWayBack) {
    const CGMutablePathRef path = CGPathCreateMutable();
    CGPathMoveToPoint(path, nullptr, 0, 0);
    CGPathAddLineToPoint(path, nullptr, 10, 0);
    CGPathMoveToPoint(path, nullptr, 100, 100);
    CGPathAddLineToPoint(path, nullptr, 100, 110);
    CGPathCloseSubpath(path);
    EXPECT_FLOAT_EQ(CGPathGetLength(path), 30);
    expectNear(CGPathPointAtFractionOfLength(path, 0.5f), {100, 105});
    expectNear(CGPathPointAtFractionOfLength(path, 5.0f / 6), {100, 105});

    const CGMutablePathRef dot = CGPathCreateMutable();
    CGPathMoveToPoint(dot, nullptr, 7, 8);
    EXPECT_EQ(CGPathPointAtFractionOfLength(dot, 0.5f), CGPointMake(7, 8));
    EXPECT_EQ(CGPathPointAtFractionOfLength(nullptr, 0.5f), CGPointZero);
}

}  // namespace
