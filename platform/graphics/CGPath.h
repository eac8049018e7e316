#pragma once

// Paths of straight and curved segments, in user-space points. A mutable path is built element by
// element; every builder takes an optional transform applied to its points (null for none) and
// does nothing for a null path.

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/graphics/CGGeometry.h"
#include "platform/graphics/Forward.h"

// The element kinds, with the values the platform gives them.
enum CGPathElementType : int32_t {
    kCGPathElementMoveToPoint = 0,
    kCGPathElementAddLineToPoint = 1,
    kCGPathElementAddQuadCurveToPoint = 2,
    kCGPathElementAddCurveToPoint = 3,
    kCGPathElementCloseSubpath = 4,
};

// One element: its kind and its points (control points first, end point last; none for close).
struct CGPathElement {
    CGPathElementType type = kCGPathElementMoveToPoint;
    CGPoint points[3] = {};
    bool operator==(const CGPathElement&) const = default;
};

class CGPath {
public:
    // The elements in the order they were added.
    const std::vector<CGPathElement>& elements() const { return elements_; }
    // Whether a subpath is open, so that lines and curves can continue from currentPoint().
    bool hasCurrentPoint() const { return hasCurrentPoint_; }
    // Where the next line or curve starts; the zero point when there is none.
    CGPoint currentPoint() const { return current_; }
    // Where the open subpath started.
    CGPoint subpathStart() const { return subpathStart_; }

    // Appends `element` and moves the current point to its end (to the subpath's start for a
    // close). The builder functions below check that a line or curve has a point to start from.
    void append(CGPathElement element);

private:
    std::vector<CGPathElement> elements_;
    CGPoint current_, subpathStart_;
    bool hasCurrentPoint_ = false;
};

// A new, empty path.
CGMutablePathRef CGPathCreateMutable();

// Starts a new subpath at (x, y).
void CGPathMoveToPoint(const CGMutablePathRef& path, const CGAffineTransform* m, CGFloat x,
                       CGFloat y);
// A straight line from the current point to (x, y); nothing when there is no current point.
void CGPathAddLineToPoint(const CGMutablePathRef& path, const CGAffineTransform* m, CGFloat x,
                          CGFloat y);
// A quadratic curve with control point (cpx, cpy) to (x, y); nothing without a current point.
void CGPathAddQuadCurveToPoint(const CGMutablePathRef& path, const CGAffineTransform* m,
                               CGFloat cpx, CGFloat cpy, CGFloat x, CGFloat y);
// A cubic curve with control points (cp1x, cp1y) and (cp2x, cp2y) to (x, y); nothing without a
// current point.
void CGPathAddCurveToPoint(const CGMutablePathRef& path, const CGAffineTransform* m, CGFloat cp1x,
                           CGFloat cp1y, CGFloat cp2x, CGFloat cp2y, CGFloat x, CGFloat y);
// A closed subpath around `rect`: from its minimum corner along the x axis first.
void CGPathAddRect(const CGMutablePathRef& path, const CGAffineTransform* m, CGRect rect);
// Closes the open subpath with a line back to its start; nothing when no subpath is open.
void CGPathCloseSubpath(const CGMutablePathRef& path);

// Whether `path` has no elements; true for a null path.
bool CGPathIsEmpty(const CGPathRef& path);
// The current point of `path`; the zero point for a null or empty path.
CGPoint CGPathGetCurrentPoint(const CGPathRef& path);
// The length of `path` along its segments (a move between subpaths adds nothing); 0 for null.
CGFloat CGPathGetLength(const CGPathRef& path);
// The point reached after `fraction` (clamped to [0, 1]) of the path's length, so that equal
// steps of `fraction` move equal distances; the zero point for a null or empty path, and the
// first point for a path of no length.
CGPoint CGPathPointAtFractionOfLength(const CGPathRef& path, CGFloat fraction);
