// Affine transforms as the graphics code composes them.

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "platform/graphics/CGGeometry.h"

namespace {

void expectNear(CGPoint actual, CGPoint expected) {
    EXPECT_NEAR(actual.x, expected.x, 1e-4);
    EXPECT_NEAR(actual.y, expected.y, 1e-4);
}

TEST(CGAffineTransform, ConcatAppliesTheFirstTransformFirst) {
    const auto scale = CGAffineTransformMakeScale(2, 3);
    const auto move = CGAffineTransformMakeTranslation(10, 20);
    const CGPoint p{1, 1};
    expectNear(CGPointApplyAffineTransform(p, CGAffineTransformConcat(scale, move)), {12, 23});
    expectNear(CGPointApplyAffineTransform(p, CGAffineTransformConcat(move, scale)), {22, 63});
    // Translate, scale and rotate put their own step before the existing transform.
    expectNear(CGPointApplyAffineTransform(p, CGAffineTransformTranslate(scale, 10, 20)), {22, 63});
    expectNear(CGPointApplyAffineTransform(p, CGAffineTransformScale(move, 2, 3)), {12, 23});
    expectNear(CGPointApplyAffineTransform(
                   {1, 0}, CGAffineTransformRotate(move, std::numbers::pi_v<float> / 2)),
               {10, 21});
}

TEST(CGAffineTransform, InvertUndoesATransformAndLeavesASingularOneAlone) {
    const CGAffineTransform transforms[] = {
        CGAffineTransformMakeTranslation(5, -7),
        CGAffineTransformMake(2, 0.5f, -1, 3, 4, 9),
        CGAffineTransformConcat(CGAffineTransformMakeRotation(0.7f),
                                CGAffineTransformMakeScale(1, -1)),
    };
    for (const auto& t : transforms) {
        const CGPoint p{3, -4};
        expectNear(CGPointApplyAffineTransform(CGPointApplyAffineTransform(p, t),
                                               CGAffineTransformInvert(t)),
                   p);
    }
    const auto singular = CGAffineTransformMakeScale(0, 2);
    EXPECT_EQ(CGAffineTransformInvert(singular), singular);
}

TEST(CGAffineTransform, ARectMapsToTheBoundsOfItsCorners) {
    const struct {
        CGAffineTransform t;
        CGRect expected;
    } cases[] = {
        {CGAffineTransformMakeTranslation(5, 6), CGRectMake(6, 8, 10, 20)},
        {CGAffineTransformMakeScale(-1, 2), CGRectMake(-11, 4, 10, 40)},
        {CGAffineTransformMakeRotation(std::numbers::pi_v<float> / 2), CGRectMake(-22, 1, 20, 10)},
    };
    for (const auto& c : cases) {
        const CGRect r = CGRectApplyAffineTransform(CGRectMake(1, 2, 10, 20), c.t);
        expectNear(r.origin, c.expected.origin);
        expectNear({r.size.width, r.size.height}, {c.expected.size.width, c.expected.size.height});
    }
}

}  // namespace
