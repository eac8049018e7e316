#include "platform/graphics/CGPath.h"

#include <algorithm>
#include <cmath>

namespace {

CGPoint mapped(const CGAffineTransform* m, CGFloat x, CGFloat y) {
    return m ? CGPointApplyAffineTransform({x, y}, *m) : CGPoint{x, y};
}

// Adds a line or curve, which needs a point to start from, as the platform requires.
void appendSegment(const CGMutablePathRef& path, CGPathElement element) {
    if (path && path->hasCurrentPoint()) path->append(element);
}

// Straight pieces that follow a path closely enough to measure it and walk along it.
struct Piece {
    CGPoint from, to;
    double length;
};

double distance(CGPoint a, CGPoint b) {
    return std::hypot(double{b.x} - a.x, double{b.y} - a.y);
}

CGPoint lerp(CGPoint a, CGPoint b, double t) {
    return {static_cast<CGFloat>(a.x + (b.x - a.x) * t),
            static_cast<CGFloat>(a.y + (b.y - a.y) * t)};
}

// De Casteljau on 2, 3 or 4 control points.
CGPoint bezierPoint(std::vector<CGPoint> p, double t) {
    for (size_t n = p.size(); n > 1; --n) {
        for (size_t i = 0; i + 1 < n; ++i) p[i] = lerp(p[i], p[i + 1], t);
    }
    return p[0];
}

// Enough chords that a curve's length is measured to well under a hundredth of a point at the
// sizes of a screen, without spending thousands of chords on a short curve.
int chordCount(const std::vector<CGPoint>& controls) {
    double polygon = 0;
    for (size_t i = 0; i + 1 < controls.size(); ++i)
        polygon += distance(controls[i], controls[i + 1]);
    return std::clamp(static_cast<int>(std::ceil(std::sqrt(polygon) * 4)), 8, 256);
}

void addChords(std::vector<Piece>& pieces, const std::vector<CGPoint>& controls) {
    const int n = chordCount(controls);
    CGPoint previous = controls.front();
    for (int i = 1; i <= n; ++i) {
        const CGPoint next = i == n ? controls.back() : bezierPoint(controls, double(i) / n);
        pieces.push_back({previous, next, distance(previous, next)});
        previous = next;
    }
}

std::vector<Piece> flatten(const CGPath& path) {
    std::vector<Piece> pieces;
    CGPoint current, start;
    for (const CGPathElement& e : path.elements()) {
        switch (e.type) {
            case kCGPathElementMoveToPoint:
                current = start = e.points[0];
                continue;
            case kCGPathElementAddLineToPoint:
                pieces.push_back({current, e.points[0], distance(current, e.points[0])});
                current = e.points[0];
                continue;
            case kCGPathElementAddQuadCurveToPoint:
                addChords(pieces, {current, e.points[0], e.points[1]});
                current = e.points[1];
                continue;
            case kCGPathElementAddCurveToPoint:
                addChords(pieces, {current, e.points[0], e.points[1], e.points[2]});
                current = e.points[2];
                continue;
            case kCGPathElementCloseSubpath:
                pieces.push_back({current, start, distance(current, start)});
                current = start;
                continue;
        }
    }
    return pieces;
}

double totalLength(const std::vector<Piece>& pieces) {
    double total = 0;
    for (const Piece& p : pieces) total += p.length;
    return total;
}

}  // namespace

void CGPath::append(CGPathElement element) {
    elements_.push_back(element);
    switch (element.type) {
        case kCGPathElementMoveToPoint:
            current_ = subpathStart_ = element.points[0];
            hasCurrentPoint_ = true;
            break;
        case kCGPathElementAddLineToPoint:
            current_ = element.points[0];
            break;
        case kCGPathElementAddQuadCurveToPoint:
            current_ = element.points[1];
            break;
        case kCGPathElementAddCurveToPoint:
            current_ = element.points[2];
            break;
        case kCGPathElementCloseSubpath:
            current_ = subpathStart_;
            break;
    }
}

CGMutablePathRef CGPathCreateMutable() {
    return std::make_shared<CGPath>();
}

void CGPathMoveToPoint(const CGMutablePathRef& path, const CGAffineTransform* m, CGFloat x,
                       CGFloat y) {
    if (path) path->append({kCGPathElementMoveToPoint, {mapped(m, x, y)}});
}

void CGPathAddLineToPoint(const CGMutablePathRef& path, const CGAffineTransform* m, CGFloat x,
                          CGFloat y) {
    appendSegment(path, {kCGPathElementAddLineToPoint, {mapped(m, x, y)}});
}

void CGPathAddQuadCurveToPoint(const CGMutablePathRef& path, const CGAffineTransform* m,
                               CGFloat cpx, CGFloat cpy, CGFloat x, CGFloat y) {
    appendSegment(path,
                  {kCGPathElementAddQuadCurveToPoint, {mapped(m, cpx, cpy), mapped(m, x, y)}});
}

void CGPathAddCurveToPoint(const CGMutablePathRef& path, const CGAffineTransform* m, CGFloat cp1x,
                           CGFloat cp1y, CGFloat cp2x, CGFloat cp2y, CGFloat x, CGFloat y) {
    appendSegment(path, {kCGPathElementAddCurveToPoint,
                         {mapped(m, cp1x, cp1y), mapped(m, cp2x, cp2y), mapped(m, x, y)}});
}

void CGPathAddRect(const CGMutablePathRef& path, const CGAffineTransform* m, CGRect rect) {
    const CGFloat x0 = CGRectGetMinX(rect), y0 = CGRectGetMinY(rect);
    const CGFloat x1 = CGRectGetMaxX(rect), y1 = CGRectGetMaxY(rect);
    CGPathMoveToPoint(path, m, x0, y0);
    CGPathAddLineToPoint(path, m, x1, y0);
    CGPathAddLineToPoint(path, m, x1, y1);
    CGPathAddLineToPoint(path, m, x0, y1);
    CGPathCloseSubpath(path);
}

void CGPathCloseSubpath(const CGMutablePathRef& path) {
    if (path && path->hasCurrentPoint()) path->append({kCGPathElementCloseSubpath, {}});
}

bool CGPathIsEmpty(const CGPathRef& path) {
    return !path || path->elements().empty();
}

CGPoint CGPathGetCurrentPoint(const CGPathRef& path) {
    return path ? path->currentPoint() : CGPointZero;
}

CGFloat CGPathGetLength(const CGPathRef& path) {
    return path ? static_cast<CGFloat>(totalLength(flatten(*path))) : 0;
}

CGPoint CGPathPointAtFractionOfLength(const CGPathRef& path, CGFloat fraction) {
    if (CGPathIsEmpty(path)) return CGPointZero;
    const std::vector<Piece> pieces = flatten(*path);
    const double total = totalLength(pieces);
    if (pieces.empty() || total == 0) return path->elements().front().points[0];
    double remaining = std::clamp(double{fraction}, 0.0, 1.0) * total;
    for (const Piece& piece : pieces) {
        if (remaining <= piece.length && piece.length > 0) {
            return lerp(piece.from, piece.to, remaining / piece.length);
        }
        remaining -= piece.length;
    }
    return pieces.back().to;
}
