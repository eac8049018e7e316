#include "platform/uikit/UIEvent.h"

CV_REGISTER_CLASS(UIEvent, NSObject)

UIEvent::UIEvent(UITouchSet touches, double timestamp, Class cls)
    : NSObject(cls), touches_(std::move(touches)), timestamp_(timestamp) {}

UITouchSet UIEvent::touchesForView(const UIView* view) const {
    UITouchSet result;
    for (const auto& touch : touches_) {
        if (touch->view() == view) result.addObject(touch);
    }
    return result;
}

UITouchSet UIEvent::touchesForWindow(const UIWindow* window) const {
    UITouchSet result;
    for (const auto& touch : touches_) {
        if (touch->window() == window) result.addObject(touch);
    }
    return result;
}
