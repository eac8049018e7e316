#pragma once

// An animation of one property of a layer, named by its key path ("position", "opacity",
// "filters.pageCurl.inputTime").

#include "platform/quartz/CAAnimation.h"

class CAPropertyAnimation : public CAAnimation {
public:
    CV_DECLARE_CLASS()

    explicit CAPropertyAnimation(std::string keyPath = {}, Class cls = class_());

    const std::string& keyPath() const { return keyPath_; }
    void setKeyPath(std::string keyPath) { keyPath_ = std::move(keyPath); }

protected:
    CAPropertyAnimation(Class cls, const CAPropertyAnimation& other)
        : CAAnimation(cls, other), keyPath_(other.keyPath_) {}

private:
    std::string keyPath_;
};
