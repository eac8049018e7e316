#include "platform/quartz/CAKeyframeAnimation.h"

#include <algorithm>

CV_REGISTER_CLASS(CAKeyframeAnimation, CAPropertyAnimation)

namespace {

// The point at `t` along one path element that starts at `from`.
CGPoint pointOnElement(const CGPathElement& e, CGPoint from, double t) {
    const double u = 1 - t;
    auto mix = [](double value) { return static_cast<CGFloat>(value); };
    switch (e.type) {
        case kCGPathElementAddQuadCurveToPoint:
            return {mix(u * u * from.x + 2 * u * t * e.points[0].x + t * t * e.points[1].x),
                    mix(u * u * from.y + 2 * u * t * e.points[0].y + t * t * e.points[1].y)};
        case kCGPathElementAddCurveToPoint:
            return {mix(u * u * u * from.x + 3 * u * u * t * e.points[0].x +
                        3 * u * t * t * e.points[1].x + t * t * t * e.points[2].x),
                    mix(u * u * u * from.y + 3 * u * u * t * e.points[0].y +
                        3 * u * t * t * e.points[1].y + t * t * t * e.points[2].y)};
        default:
            return {mix(from.x + (double(e.points[0].x) - from.x) * t),
                    mix(from.y + (double(e.points[0].y) - from.y) * t)};
    }
}

CGPoint endOfElement(const CGPathElement& e, CGPoint subpathStart) {
    switch (e.type) {
        case kCGPathElementAddQuadCurveToPoint:
            return e.points[1];
        case kCGPathElementAddCurveToPoint:
            return e.points[2];
        case kCGPathElementCloseSubpath:
            return subpathStart;
        default:
            return e.points[0];
    }
}

}  // namespace

std::shared_ptr<CAKeyframeAnimation> CAKeyframeAnimation::animationWithKeyPath(
    std::string keyPath) {
    return std::make_shared<CAKeyframeAnimation>(std::move(keyPath));
}

CAKeyframeAnimation::CAKeyframeAnimation(std::string keyPath, Class cls)
    : CAPropertyAnimation(std::move(keyPath), cls) {}

CAKeyframeAnimation::CAKeyframeAnimation(Class cls, const CAKeyframeAnimation& other)
    : CAPropertyAnimation(cls, other),
      values_(other.values_),
      path_(other.path_),
      keyTimes_(other.keyTimes_),
      calculationMode_(other.calculationMode_) {}

std::shared_ptr<CAAnimation> CAKeyframeAnimation::copy() const {
    return std::shared_ptr<CAAnimation>(new CAKeyframeAnimation(isa(), *this));
}

void CAKeyframeAnimation::applyProgress(double progress, CALayerProperties& properties) const {
    const CAValue value = path_ ? valueOnPath(progress) : valueInList(progress);
    if (!CAValueIsNil(value)) properties.setValueForKeyPath(keyPath(), value);
}

std::pair<size_t, double> CAKeyframeAnimation::step(double progress, size_t steps) const {
    if (keyTimes_.size() == steps + 1) {
        for (size_t i = 0; i < steps; ++i) {
            if (progress < keyTimes_[i + 1] || i + 1 == steps) {
                const double span = keyTimes_[i + 1] - keyTimes_[i];
                return {i, span > 0 ? std::clamp((progress - keyTimes_[i]) / span, 0.0, 1.0) : 1};
            }
        }
    }
    const double scaled = progress * steps;
    const size_t index = std::min(static_cast<size_t>(scaled), steps - 1);
    return {index, scaled - index};
}

CAValue CAKeyframeAnimation::valueInList(double progress) const {
    if (values_.empty()) return {};
    if (values_.size() == 1) return values_.front();
    auto [index, within] = step(progress, values_.size() - 1);
    if (calculationMode_ == kCAAnimationDiscrete) return values_[within >= 1 ? index + 1 : index];
    return CAValueInterpolate(values_[index], values_[index + 1], within);
}

CAValue CAKeyframeAnimation::valueOnPath(double progress) const {
    if (CGPathIsEmpty(path_)) return {};
    if (calculationMode_ == kCAAnimationPaced) {
        return CGPathPointAtFractionOfLength(path_, static_cast<CGFloat>(progress));
    }
    // Every element after the first move is one step; a move starts a new subpath in no time.
    const auto& elements = path_->elements();
    std::vector<const CGPathElement*> steps;
    for (size_t i = 1; i < elements.size(); ++i) {
        if (elements[i].type != kCGPathElementMoveToPoint) steps.push_back(&elements[i]);
    }
    if (steps.empty()) return elements.front().points[0];
    auto [index, within] = step(progress, steps.size());
    CGPoint current = elements.front().points[0], subpathStart = current;
    for (const auto& e : elements) {
        if (&e == steps[index]) {
            CGPathElement segment = e;
            if (e.type == kCGPathElementCloseSubpath) {
                segment = {kCGPathElementAddLineToPoint, {subpathStart}};
            }
            return pointOnElement(segment, current, within);
        }
        if (e.type == kCGPathElementMoveToPoint) subpathStart = e.points[0];
        current = endOfElement(e, subpathStart);
    }
    return current;
}
