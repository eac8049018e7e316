#include "platform/quartz/CABasicAnimation.h"

CV_REGISTER_CLASS(CABasicAnimation, CAPropertyAnimation)

std::shared_ptr<CABasicAnimation> CABasicAnimation::animationWithKeyPath(std::string keyPath) {
    return std::make_shared<CABasicAnimation>(std::move(keyPath));
}

CABasicAnimation::CABasicAnimation(std::string keyPath, Class cls)
    : CAPropertyAnimation(std::move(keyPath), cls) {}

std::shared_ptr<CAAnimation> CABasicAnimation::copy() const {
    return std::shared_ptr<CAAnimation>(new CABasicAnimation(isa(), *this));
}

void CABasicAnimation::applyProgress(double progress, CALayerProperties& properties) const {
    const bool hasFrom = !CAValueIsNil(from_), hasTo = !CAValueIsNil(to_),
               hasBy = !CAValueIsNil(by_);
    if (!hasFrom && !hasTo && !hasBy) return;
    const CAValue underlying = properties.valueForKeyPath(keyPath());
    CAValue start, end;
    if (hasFrom && hasTo) {
        start = from_, end = to_;
    } else if (hasFrom && hasBy) {
        start = from_, end = CAValueAdd(from_, by_);
    } else if (hasFrom) {
        start = from_, end = underlying;
    } else if (hasTo) {
        start = underlying, end = to_;
    } else {
        start = underlying, end = CAValueAdd(underlying, by_);
    }
    properties.setValueForKeyPath(keyPath(), CAValueInterpolate(start, end, progress));
}
