#pragma once

// Objects that receive touches. The four touch messages are sent through the method tables, so
// that subclasses registered at run time and replaced implementations receive them; by default a
// responder passes them on to its next responder.

#include "platform/runtime/NSObject.h"

class UIEvent;
class UITouchSet;

// The implementation type of touchesBegan:withEvent:, touchesMoved:withEvent:,
// touchesEnded:withEvent: and touchesCancelled:withEvent:.
using UITouchesIMP = void (*)(id self, SEL _cmd, const UITouchSet* touches, UIEvent* event);

class UIResponder : public NSObject {
public:
    CV_DECLARE_CLASS()

    explicit UIResponder(Class cls = class_());

    // The responder that gets what this one does not handle; nil at the end of the chain.
    virtual UIResponder* nextResponder() const { return nullptr; }

    // Send touchesBegan:withEvent: and its siblings through the method table.
    void touchesBegan(const UITouchSet* touches, UIEvent* event);
    void touchesMoved(const UITouchSet* touches, UIEvent* event);
    void touchesEnded(const UITouchSet* touches, UIEvent* event);
    void touchesCancelled(const UITouchSet* touches, UIEvent* event);
};
