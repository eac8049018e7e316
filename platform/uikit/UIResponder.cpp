#include "platform/uikit/UIResponder.h"

namespace {

// The registered implementations: hand the touches to the next responder, if there is one.
void passOn(id self, SEL cmd, const UITouchSet* touches, UIEvent* event) {
    UIResponder* next = static_cast<UIResponder*>(self)->nextResponder();
    UITouchesMessage::Shape::send(next, cmd, touches, event);
}

}  // namespace

Class UIResponder::class_() {
    static const Class cls = objc_defineClass(
        "UIResponder", NSObject::class_(),
        {UIResponderMessage::touchesBegan.implementedBy(&passOn),
         UIResponderMessage::touchesMoved.implementedBy(&passOn),
         UIResponderMessage::touchesEnded.implementedBy(&passOn),
         UIResponderMessage::touchesCancelled.implementedBy(&passOn)});
    return cls;
}

UIResponder::UIResponder(Class cls) : NSObject(cls) {}

void UIResponder::touchesBegan(const UITouchSet* touches, UIEvent* event) {
    UIResponderMessage::touchesBegan.send(this, touches, event);
}

void UIResponder::touchesMoved(const UITouchSet* touches, UIEvent* event) {
    UIResponderMessage::touchesMoved.send(this, touches, event);
}

void UIResponder::touchesEnded(const UITouchSet* touches, UIEvent* event) {
    UIResponderMessage::touchesEnded.send(this, touches, event);
}

void UIResponder::touchesCancelled(const UITouchSet* touches, UIEvent* event) {
    UIResponderMessage::touchesCancelled.send(this, touches, event);
}
