#pragma once

// Objects that receive touches. The four touch messages are sent through the method tables, so
// that subclasses registered at run time and replaced implementations receive them; by default a
// responder passes them on to its next responder.

#include "platform/runtime/Message.h"
#include "platform/runtime/NSObject.h"
#include "platform/uikit/Forward.h"

// The type of the four touch messages.
using UITouchesMessage = Message<void(const UITouchSet* touches, UIEvent* event)>;

namespace UIResponderMessage {
inline constinit const UITouchesMessage touchesBegan{"touchesBegan:withEvent:"};
inline constinit const UITouchesMessage touchesMoved{"touchesMoved:withEvent:"};
inline constinit const UITouchesMessage touchesEnded{"touchesEnded:withEvent:"};
inline constinit const UITouchesMessage touchesCancelled{"touchesCancelled:withEvent:"};
}  // namespace UIResponderMessage

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
