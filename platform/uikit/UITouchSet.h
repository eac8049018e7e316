#pragma once

// A set of touches in the order they went down, as the touch messages carry them.

#include "platform/uikit/UITouch.h"

#include <algorithm>
#include <memory>
#include <vector>

class UITouchSet {
public:
    UITouchSet() = default;
    explicit UITouchSet(std::vector<std::shared_ptr<UITouch>> touches)
        : touches_(std::move(touches)) {}

    // Some touch of the set (the first to go down); nil for an empty set.
    UITouch* anyObject() const { return touches_.empty() ? nullptr : touches_.front().get(); }
    size_t count() const { return touches_.size(); }
    bool containsObject(const UITouch* touch) const {
        return std::any_of(touches_.begin(), touches_.end(),
                           [touch](const auto& t) { return t.get() == touch; });
    }
    // Adds `touch` unless it is already in the set.
    void addObject(const std::shared_ptr<UITouch>& touch) {
        if (touch && !containsObject(touch.get())) touches_.push_back(touch);
    }
    void removeObject(const UITouch* touch) {
        std::erase_if(touches_, [touch](const auto& t) { return t.get() == touch; });
    }
    const std::vector<std::shared_ptr<UITouch>>& allObjects() const { return touches_; }
    auto begin() const { return touches_.begin(); }
    auto end() const { return touches_.end(); }

private:
    std::vector<std::shared_ptr<UITouch>> touches_;
};
