#include "platform/quartz/CAFilter.h"

CV_REGISTER_CLASS(CAFilter, NSObject)

std::shared_ptr<CAFilter> CAFilter::filterWithType(std::string_view type) {
    return std::make_shared<CAFilter>(std::string(type));
}

CAFilter::CAFilter(std::string type, Class cls)
    : NSObject(cls), type_(type), name_(std::move(type)) {}

void CAFilter::setDefaults() {
    if (type_ == kCAFilterPageCurl) {
        inputs_["inputTime"] = 0.0;
        inputs_["inputAngle"] = 0.0;
        inputs_["inputRadius"] = 30.0;
    }
}

void CAFilter::setValue(const CAValue& value, std::string_view key) {
    if (CAValueIsNil(value)) {
        if (auto it = inputs_.find(key); it != inputs_.end()) inputs_.erase(it);
        return;
    }
    inputs_.insert_or_assign(std::string(key), value);
}

CAValue CAFilter::valueForKey(std::string_view key) const {
    auto it = inputs_.find(key);
    return it == inputs_.end() ? CAValue{} : it->second;
}

std::shared_ptr<CAFilter> CAFilter::copy() const {
    auto filter = std::make_shared<CAFilter>(type_, isa());
    filter->name_ = name_;
    filter->enabled_ = enabled_;
    filter->inputs_ = inputs_;
    return filter;
}
