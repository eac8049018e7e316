#pragma once

// Animations are descriptors: what to change, from and to what, over how long, along which curve.
// A layer keeps a copy of the animation it is given, so changing the original afterwards changes
// nothing on screen. Subclasses say what the animation does to a layer's properties.

#include "platform/quartz/CALayerProperties.h"
#include "platform/quartz/CAMediaTimingFunction.h"
#include "platform/quartz/CAValue.h"
#include "platform/quartz/Forward.h"
#include "platform/quartz/WeakRef.h"
#include "platform/runtime/Message.h"
#include "platform/runtime/NSObject.h"

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

// What an animation shows outside its active time: before it starts (backwards) and after it ends
// (forwards), when it is still on the layer.
enum class CAFillMode { Removed, Forwards, Backwards, Both };
inline constexpr CAFillMode kCAFillModeRemoved = CAFillMode::Removed;
inline constexpr CAFillMode kCAFillModeForwards = CAFillMode::Forwards;
inline constexpr CAFillMode kCAFillModeBackwards = CAFillMode::Backwards;
inline constexpr CAFillMode kCAFillModeBoth = CAFillMode::Both;

// The messages an animation's delegate receives when it answers them.
namespace CAAnimationDelegateMessage {
inline constinit const Message<void(CAAnimation* animation)> animationDidStart{
    "animationDidStart:"};
inline constinit const Message<void(CAAnimation* animation, bool finished)> animationDidStop{
    "animationDidStop:finished:"};
}  // namespace CAAnimationDelegateMessage

class CAAnimation : public NSObject {
public:
    CV_DECLARE_CLASS()

    // A new animation of this class, with the default description.
    static std::shared_ptr<CAAnimation> animation();

    explicit CAAnimation(Class cls = class_());

    // The length of the animation in seconds; 0 means the platform's default of 0.25 s.
    double duration() const { return duration_; }
    void setDuration(double seconds) { duration_ = seconds; }
    // When the animation starts, in media time (CACurrentMediaTime); 0 means when it is added.
    double beginTime() const { return beginTime_; }
    void setBeginTime(double seconds) { beginTime_ = seconds; }
    // The pacing curve; none means linear.
    const std::optional<CAMediaTimingFunction>& timingFunction() const { return timing_; }
    void setTimingFunction(std::optional<CAMediaTimingFunction> timing) { timing_ = timing; }
    CAFillMode fillMode() const { return fillMode_; }
    void setFillMode(CAFillMode mode) { fillMode_ = mode; }
    // Whether the layer drops the animation when it ends (the default) or keeps it.
    bool isRemovedOnCompletion() const { return removedOnCompletion_; }
    void setRemovedOnCompletion(bool removed) { removedOnCompletion_ = removed; }
    // Told animationDidStart: and animationDidStop:finished: through the method tables, when it
    // answers them. Not owned: a delegate that has gone away is told nothing.
    id delegate() const { return delegate_.get(); }
    void setDelegate(id delegate) { delegate_.reset(delegate); }
    WeakId delegateReference() const { return delegate_; }

    // What ends the animation for whoever is told it stopped: the animation carries its own end,
    // as a block kept under one of its keys does, so that its delegate runs it rather than
    // telling its animations apart by a value compared later. Copied with the animation.
    using Completion = std::function<void(bool finished)>;
    const Completion& completion() const { return completion_; }
    void setCompletion(Completion completion) { completion_ = std::move(completion); }

    // Stores a value under `key` (the product keeps an identifier under "id"); nil removes it.
    void setValue(const CAValue& value, std::string_view key);
    // The value stored under `key`; nil when none.
    CAValue valueForKey(std::string_view key) const;

    // The duration in effect: duration(), or 0.25 s when that is 0 or less.
    double effectiveDuration() const { return duration_ > 0 ? duration_ : 0.25; }
    // An independent copy of the whole description, what a layer keeps when the animation is added.
    virtual std::shared_ptr<CAAnimation> copy() const;
    // Applies the animation as it stands `elapsed` seconds after its start to `properties`:
    // nothing outside the active time unless the fill mode covers it.
    void applyAt(double elapsed, CALayerProperties& properties) const;

protected:
    // A new animation of class `cls` with the description of `other` (for copy()).
    CAAnimation(Class cls, const CAAnimation& other);
    // What the animation does at `progress` (0 to 1, after the timing curve) to `properties`.
    virtual void applyProgress(double progress, CALayerProperties& properties) const;

private:
    double duration_ = 0;
    double beginTime_ = 0;
    std::optional<CAMediaTimingFunction> timing_;
    CAFillMode fillMode_ = CAFillMode::Removed;
    bool removedOnCompletion_ = true;
    WeakId delegate_;
    Completion completion_;
    std::map<std::string, CAValue, std::less<>> values_;
};
