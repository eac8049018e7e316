#include "platform/quartz/CAAnimation.h"

CV_REGISTER_CLASS(CAAnimation, NSObject)

std::shared_ptr<CAAnimation> CAAnimation::animation() {
    return std::make_shared<CAAnimation>();
}

CAAnimation::CAAnimation(Class cls) : NSObject(cls) {}

CAAnimation::CAAnimation(Class cls, const CAAnimation& other)
    : NSObject(cls),
      duration_(other.duration_),
      beginTime_(other.beginTime_),
      timing_(other.timing_),
      fillMode_(other.fillMode_),
      removedOnCompletion_(other.removedOnCompletion_),
      delegate_(other.delegate_),
      completion_(other.completion_),
      values_(other.values_) {}

std::shared_ptr<CAAnimation> CAAnimation::copy() const {
    return std::shared_ptr<CAAnimation>(new CAAnimation(isa(), *this));
}

void CAAnimation::setValue(const CAValue& value, std::string_view key) {
    if (CAValueIsNil(value)) {
        if (auto it = values_.find(key); it != values_.end()) values_.erase(it);
        return;
    }
    values_.insert_or_assign(std::string(key), value);
}

CAValue CAAnimation::valueForKey(std::string_view key) const {
    auto it = values_.find(key);
    return it == values_.end() ? CAValue{} : it->second;
}

void CAAnimation::applyAt(double elapsed, CALayerProperties& properties) const {
    const double length = effectiveDuration();
    double progress;
    if (elapsed < 0) {
        if (fillMode_ != CAFillMode::Backwards && fillMode_ != CAFillMode::Both) return;
        progress = 0;
    } else if (elapsed >= length) {
        if (fillMode_ != CAFillMode::Forwards && fillMode_ != CAFillMode::Both) return;
        progress = 1;
    } else {
        progress = elapsed / length;
    }
    applyProgress(timing_ ? timing_->evaluate(progress) : progress, properties);
}

void CAAnimation::applyProgress(double, CALayerProperties&) const {}
