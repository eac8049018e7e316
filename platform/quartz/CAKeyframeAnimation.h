#pragma once

// An animation of one property through a list of values, or of a point property along a path.
// With a path, each segment after a move is one keyframe step; in linear mode every step takes the
// same share of the time (or the share given by keyTimes), in paced mode equal times cover equal
// distances.

#include "platform/graphics/CGPath.h"
#include "platform/quartz/CAPropertyAnimation.h"

#include <string_view>
#include <vector>

inline constexpr std::string_view kCAAnimationLinear = "linear";
inline constexpr std::string_view kCAAnimationPaced = "paced";
inline constexpr std::string_view kCAAnimationDiscrete = "discrete";

class CAKeyframeAnimation : public CAPropertyAnimation {
public:
    CV_DECLARE_CLASS()

    // A new animation of the property at `keyPath`.
    static std::shared_ptr<CAKeyframeAnimation> animationWithKeyPath(std::string keyPath);

    explicit CAKeyframeAnimation(std::string keyPath = {}, Class cls = class_());

    // The values passed through, in order; ignored when a path is set.
    const std::vector<CAValue>& values() const { return values_; }
    void setValues(std::vector<CAValue> values) { values_ = std::move(values); }
    // The path a point property follows; the animation keeps its own reference.
    const CGPathRef& path() const { return path_; }
    void setPath(CGPathRef path) { path_ = std::move(path); }
    // The time fraction (0 to 1) at which each value is reached; used only when there is one per
    // value of the list (or per point of the path).
    const std::vector<double>& keyTimes() const { return keyTimes_; }
    void setKeyTimes(std::vector<double> keyTimes) { keyTimes_ = std::move(keyTimes); }
    // kCAAnimationLinear (the default), kCAAnimationPaced or kCAAnimationDiscrete.
    const std::string& calculationMode() const { return calculationMode_; }
    void setCalculationMode(std::string_view mode) { calculationMode_ = std::string(mode); }

    std::shared_ptr<CAAnimation> copy() const override;

protected:
    CAKeyframeAnimation(Class cls, const CAKeyframeAnimation& other);
    void applyProgress(double progress, CALayerProperties& properties) const override;

private:
    CAValue valueOnPath(double progress) const;
    CAValue valueInList(double progress) const;
    // The keyframe step that `progress` falls in, out of `steps`, and the progress within it.
    std::pair<size_t, double> step(double progress, size_t steps) const;

    std::vector<CAValue> values_;
    CGPathRef path_;
    std::vector<double> keyTimes_;
    std::string calculationMode_{kCAAnimationLinear};
};
