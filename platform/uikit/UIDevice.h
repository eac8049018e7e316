#pragma once

// The device: its model name ("iPhone", "iPad", "iPod touch"), which the host sets before boot.

#include "platform/runtime/NSObject.h"

#include <string>

class UIDevice : public NSObject {
public:
    CV_DECLARE_CLASS()

    // The one device, an "iPhone" until the host says otherwise.
    static UIDevice* currentDevice();

    explicit UIDevice(Class cls = class_());

    const std::string& model() const { return model_; }
    void setModel(std::string model) { model_ = std::move(model); }

private:
    std::string model_ = "iPhone";
};
