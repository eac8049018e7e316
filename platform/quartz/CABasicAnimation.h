#pragma once

// An animation of one property between two values. Missing values are taken from the layer: with
// only a to-value the property goes from its underlying value (the model, with earlier animations
// applied) to it; with only a from-value it goes from it back to the underlying value; a by-value
// is added to whichever end is missing.

#include "platform/quartz/CAPropertyAnimation.h"

class CABasicAnimation : public CAPropertyAnimation {
public:
    CV_DECLARE_CLASS()

    // A new animation of the property at `keyPath`.
    static std::shared_ptr<CABasicAnimation> animationWithKeyPath(std::string keyPath);

    explicit CABasicAnimation(std::string keyPath = {}, Class cls = class_());

    const CAValue& fromValue() const { return from_; }
    void setFromValue(CAValue value) { from_ = std::move(value); }
    const CAValue& toValue() const { return to_; }
    void setToValue(CAValue value) { to_ = std::move(value); }
    const CAValue& byValue() const { return by_; }
    void setByValue(CAValue value) { by_ = std::move(value); }

    std::shared_ptr<CAAnimation> copy() const override;

protected:
    CABasicAnimation(Class cls, const CABasicAnimation& other)
        : CAPropertyAnimation(cls, other), from_(other.from_), to_(other.to_), by_(other.by_) {}
    void applyProgress(double progress, CALayerProperties& properties) const override;

private:
    CAValue from_, to_, by_;
};
