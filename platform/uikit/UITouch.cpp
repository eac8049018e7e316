#include "platform/uikit/UITouch.h"

#include "platform/uikit/UIView.h"
#include "platform/uikit/UIWindow.h"

CV_REGISTER_CLASS(UITouch, NSObject)

UITouch::UITouch(CGPoint screenPoint, double timestamp, UIWindow* window, UIView* view, Class cls)
    : NSObject(cls),
      timestamp_(timestamp),
      location_(screenPoint),
      previous_(screenPoint),
      window_(window),
      view_(view) {}

CGPoint UITouch::convert(CGPoint screenPoint, const UIView* view) const {
    if (view) return view->convertPointFromScreen(screenPoint);
    if (UIWindow* window = window_.get()) return window->convertPointFromScreen(screenPoint);
    return screenPoint;
}

CGPoint UITouch::locationInView(const UIView* view) const {
    return convert(location_, view);
}

CGPoint UITouch::previousLocationInView(const UIView* view) const {
    return convert(previous_, view);
}

void UITouch::moveTo(CGPoint screenPoint, double timestamp) {
    previous_ = location_;
    location_ = screenPoint;
    timestamp_ = timestamp;
    phase_ = UITouchPhaseMoved;
}

void UITouch::setPhase(UITouchPhase phase, double timestamp) {
    phase_ = phase;
    timestamp_ = timestamp;
}
