#pragma once

// Animations run together on one clock: the group's timing curve paces the group's time, and each
// member runs in that time from its own begin time (an offset within the group). The group's
// duration cuts its members off; their own removal settings do not apply.

#include "platform/quartz/CAAnimation.h"

#include <vector>

class CAAnimationGroup : public CAAnimation {
public:
    CV_DECLARE_CLASS()

    // A new, empty group.
    static std::shared_ptr<CAAnimationGroup> animation();

    explicit CAAnimationGroup(Class cls = class_());

    const std::vector<std::shared_ptr<CAAnimation>>& animations() const { return animations_; }
    // The members, applied in this order; null entries are ignored.
    void setAnimations(std::vector<std::shared_ptr<CAAnimation>> animations) {
        animations_ = std::move(animations);
    }

    std::shared_ptr<CAAnimation> copy() const override;

protected:
    // A group with the description of `other` and independent copies of its members.
    CAAnimationGroup(Class cls, const CAAnimationGroup& other);
    void applyProgress(double progress, CALayerProperties& properties) const override;

private:
    std::vector<std::shared_ptr<CAAnimation>> animations_;
};
