#include "platform/uikit/UIDevice.h"

#include <memory>

CV_REGISTER_CLASS(UIDevice, NSObject)

UIDevice* UIDevice::currentDevice() {
    static const auto device = std::make_shared<UIDevice>();
    return device.get();
}

UIDevice::UIDevice(Class cls) : NSObject(cls) {}
