#pragma once

// Points, sizes, rectangles and affine transforms in 32-bit floats, y growing downward.

#include <cmath>

using CGFloat = float;

struct CGPoint {
    CGFloat x = 0, y = 0;
    bool operator==(const CGPoint&) const = default;
};

struct CGSize {
    CGFloat width = 0, height = 0;
    bool operator==(const CGSize&) const = default;
};

struct CGRect {
    CGPoint origin;
    CGSize size;
    bool operator==(const CGRect&) const = default;
};

// x' = a x + c y + tx, y' = b x + d y + ty.
struct CGAffineTransform {
    CGFloat a = 1, b = 0, c = 0, d = 1, tx = 0, ty = 0;
    bool operator==(const CGAffineTransform&) const = default;
};

inline constexpr CGPoint CGPointZero{};
inline constexpr CGSize CGSizeZero{};
inline constexpr CGRect CGRectZero{};
inline constexpr CGAffineTransform CGAffineTransformIdentity{};

inline CGPoint CGPointMake(CGFloat x, CGFloat y) { return {x, y}; }
inline CGSize CGSizeMake(CGFloat w, CGFloat h) { return {w, h}; }
inline CGRect CGRectMake(CGFloat x, CGFloat y, CGFloat w, CGFloat h) { return {{x, y}, {w, h}}; }

inline CGFloat CGRectGetMinX(CGRect r) { return std::fmin(r.origin.x, r.origin.x + r.size.width); }
inline CGFloat CGRectGetMinY(CGRect r) { return std::fmin(r.origin.y, r.origin.y + r.size.height); }
inline CGFloat CGRectGetMaxX(CGRect r) { return std::fmax(r.origin.x, r.origin.x + r.size.width); }
inline CGFloat CGRectGetMaxY(CGRect r) { return std::fmax(r.origin.y, r.origin.y + r.size.height); }
inline CGFloat CGRectGetMidX(CGRect r) { return r.origin.x + r.size.width / 2; }
inline CGFloat CGRectGetMidY(CGRect r) { return r.origin.y + r.size.height / 2; }
inline CGFloat CGRectGetWidth(CGRect r) { return std::fabs(r.size.width); }
inline CGFloat CGRectGetHeight(CGRect r) { return std::fabs(r.size.height); }

// Whether `p` lies in `r`: the minimum edges belong to the rectangle, the maximum edges do not.
inline bool CGRectContainsPoint(CGRect r, CGPoint p) {
    return p.x >= CGRectGetMinX(r) && p.x < CGRectGetMaxX(r) && p.y >= CGRectGetMinY(r) &&
           p.y < CGRectGetMaxY(r);
}

inline CGAffineTransform CGAffineTransformMake(CGFloat a, CGFloat b, CGFloat c, CGFloat d,
                                               CGFloat tx, CGFloat ty) {
    return {a, b, c, d, tx, ty};
}
inline CGAffineTransform CGAffineTransformMakeTranslation(CGFloat tx, CGFloat ty) {
    return {1, 0, 0, 1, tx, ty};
}
inline CGAffineTransform CGAffineTransformMakeScale(CGFloat sx, CGFloat sy) {
    return {sx, 0, 0, sy, 0, 0};
}
inline CGAffineTransform CGAffineTransformMakeRotation(CGFloat angle) {
    const CGFloat c = std::cos(angle), s = std::sin(angle);
    return {c, s, -s, c, 0, 0};
}
// t1 then t2.
inline CGAffineTransform CGAffineTransformConcat(CGAffineTransform t1, CGAffineTransform t2) {
    return {t1.a * t2.a + t1.b * t2.c,           t1.a * t2.b + t1.b * t2.d,
            t1.c * t2.a + t1.d * t2.c,           t1.c * t2.b + t1.d * t2.d,
            t1.tx * t2.a + t1.ty * t2.c + t2.tx, t1.tx * t2.b + t1.ty * t2.d + t2.ty};
}
// Scaling, rotating or translating in the transform's own space: the new step comes first.
inline CGAffineTransform CGAffineTransformTranslate(CGAffineTransform t, CGFloat tx, CGFloat ty) {
    return CGAffineTransformConcat(CGAffineTransformMakeTranslation(tx, ty), t);
}
inline CGAffineTransform CGAffineTransformScale(CGAffineTransform t, CGFloat sx, CGFloat sy) {
    return CGAffineTransformConcat(CGAffineTransformMakeScale(sx, sy), t);
}
inline CGAffineTransform CGAffineTransformRotate(CGAffineTransform t, CGFloat angle) {
    return CGAffineTransformConcat(CGAffineTransformMakeRotation(angle), t);
}
inline bool CGAffineTransformIsIdentity(CGAffineTransform t) { return t == CGAffineTransformIdentity; }
inline CGAffineTransform CGAffineTransformInvert(CGAffineTransform t) {
    const CGFloat det = t.a * t.d - t.b * t.c;
    if (det == 0) return t;  // a singular transform is returned unchanged
    return {t.d / det,  -t.b / det, -t.c / det, t.a / det, (t.c * t.ty - t.d * t.tx) / det,
            (t.b * t.tx - t.a * t.ty) / det};
}
inline CGPoint CGPointApplyAffineTransform(CGPoint p, CGAffineTransform t) {
    return {t.a * p.x + t.c * p.y + t.tx, t.b * p.x + t.d * p.y + t.ty};
}
inline CGSize CGSizeApplyAffineTransform(CGSize s, CGAffineTransform t) {
    return {t.a * s.width + t.c * s.height, t.b * s.width + t.d * s.height};
}
// The smallest rectangle that holds the transformed corners of `r`.
inline CGRect CGRectApplyAffineTransform(CGRect r, CGAffineTransform t) {
    const CGPoint p[4] = {
        CGPointApplyAffineTransform({CGRectGetMinX(r), CGRectGetMinY(r)}, t),
        CGPointApplyAffineTransform({CGRectGetMaxX(r), CGRectGetMinY(r)}, t),
        CGPointApplyAffineTransform({CGRectGetMinX(r), CGRectGetMaxY(r)}, t),
        CGPointApplyAffineTransform({CGRectGetMaxX(r), CGRectGetMaxY(r)}, t),
    };
    CGFloat minX = p[0].x, maxX = p[0].x, minY = p[0].y, maxY = p[0].y;
    for (const auto& q : p) {
        minX = std::fmin(minX, q.x);
        maxX = std::fmax(maxX, q.x);
        minY = std::fmin(minY, q.y);
        maxY = std::fmax(maxY, q.y);
    }
    return {{minX, minY}, {maxX - minX, maxY - minY}};
}
