#pragma once

// A filter that a layer applies when it is drawn, with named inputs stored by key. A layer's
// animations reach an input through the key path "filters.<name>.<input>".

#include "platform/quartz/CAValue.h"
#include "platform/runtime/NSObject.h"

#include <map>
#include <memory>
#include <string>
#include <string_view>

// The page-curl filter: "inputTime" 0 (flat) to 1 (curled away), "inputAngle" in radians (the
// direction the page is pulled, 0 toward +x, positive toward +y), "inputRadius" in points.
inline constexpr std::string_view kCAFilterPageCurl = "pageCurl";

class CAFilter : public NSObject {
public:
    CV_DECLARE_CLASS()

    // A filter of `type`, named after its type, with no inputs set.
    static std::shared_ptr<CAFilter> filterWithType(std::string_view type);

    explicit CAFilter(std::string type, Class cls = class_());

    const std::string& type() const { return type_; }
    // The name the layer's key paths use; the type until set.
    const std::string& name() const { return name_; }
    void setName(std::string name) { name_ = std::move(name); }
    bool enabled() const { return enabled_; }
    void setEnabled(bool enabled) { enabled_ = enabled; }

    // Sets every input of the filter's type to its default (page curl: time 0, angle 0, radius
    // 30 points).
    void setDefaults();
    // Stores `value` under `key`; nil removes it.
    void setValue(const CAValue& value, std::string_view key);
    // The value under `key`; nil when none.
    CAValue valueForKey(std::string_view key) const;

    // An independent filter with the same type, name and inputs.
    std::shared_ptr<CAFilter> copy() const;

private:
    std::string type_;
    std::string name_;
    bool enabled_ = true;
    std::map<std::string, CAValue, std::less<>> inputs_;
};
