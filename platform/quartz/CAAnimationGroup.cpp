#include "platform/quartz/CAAnimationGroup.h"

CV_REGISTER_CLASS(CAAnimationGroup, CAAnimation)

std::shared_ptr<CAAnimationGroup> CAAnimationGroup::animation() {
    return std::make_shared<CAAnimationGroup>();
}

CAAnimationGroup::CAAnimationGroup(Class cls) : CAAnimation(cls) {}

CAAnimationGroup::CAAnimationGroup(Class cls, const CAAnimationGroup& other)
    : CAAnimation(cls, other) {
    for (const auto& member : other.animations_) {
        if (member) animations_.push_back(member->copy());
    }
}

std::shared_ptr<CAAnimation> CAAnimationGroup::copy() const {
    return std::shared_ptr<CAAnimation>(new CAAnimationGroup(isa(), *this));
}

void CAAnimationGroup::applyProgress(double progress, CALayerProperties& properties) const {
    const double groupTime = progress * effectiveDuration();
    for (const auto& member : animations_) {
        if (member) member->applyAt(groupTime - member->beginTime(), properties);
    }
}
