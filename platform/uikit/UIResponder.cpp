#include "platform/uikit/UIResponder.h"

#include "platform/runtime/objc.h"

namespace {

// The registered implementations: hand the touches to the next responder, if there is one.
template <const char* Name>
void passOn(id self, SEL cmd, const UITouchSet* touches, UIEvent* event) {
    UIResponder* next = static_cast<UIResponder*>(self)->nextResponder();
    objc_msgSend<void, const UITouchSet*, UIEvent*>(next, cmd, touches, event);
}

constexpr char kBegan[] = "touchesBegan:withEvent:";
constexpr char kMoved[] = "touchesMoved:withEvent:";
constexpr char kEnded[] = "touchesEnded:withEvent:";
constexpr char kCancelled[] = "touchesCancelled:withEvent:";

}  // namespace

Class UIResponder::class_() {
    static const Class cls = [] {
        const Class c = objc_registerClassPair("UIResponder", NSObject::class_());
        class_replaceMethod(c, sel_registerName(kBegan), reinterpret_cast<IMP>(&passOn<kBegan>));
        class_replaceMethod(c, sel_registerName(kMoved), reinterpret_cast<IMP>(&passOn<kMoved>));
        class_replaceMethod(c, sel_registerName(kEnded), reinterpret_cast<IMP>(&passOn<kEnded>));
        class_replaceMethod(c, sel_registerName(kCancelled),
                            reinterpret_cast<IMP>(&passOn<kCancelled>));
        return c;
    }();
    return cls;
}

UIResponder::UIResponder(Class cls) : NSObject(cls) {}

void UIResponder::touchesBegan(const UITouchSet* touches, UIEvent* event) {
    objc_msgSend<void, const UITouchSet*, UIEvent*>(this, CV_SELECTOR(kBegan), touches, event);
}

void UIResponder::touchesMoved(const UITouchSet* touches, UIEvent* event) {
    objc_msgSend<void, const UITouchSet*, UIEvent*>(this, CV_SELECTOR(kMoved), touches, event);
}

void UIResponder::touchesEnded(const UITouchSet* touches, UIEvent* event) {
    objc_msgSend<void, const UITouchSet*, UIEvent*>(this, CV_SELECTOR(kEnded), touches, event);
}

void UIResponder::touchesCancelled(const UITouchSet* touches, UIEvent* event) {
    objc_msgSend<void, const UITouchSet*, UIEvent*>(this, CV_SELECTOR(kCancelled), touches, event);
}
