#pragma once

// Sending messages through the method tables.

#include "platform/runtime/NSObject.h"
#include "platform/runtime/Runtime.h"

#include <type_traits>

// Sends `selector` to `receiver` through the method tables. A message to nil answers zero.
template <typename R = void, typename... Args>
R objc_msgSend(id receiver, SEL selector, Args... args);

template <typename R, typename... Args>
R objc_msgSend(id receiver, SEL selector, Args... args) {
    if (!receiver) {
        if constexpr (std::is_void_v<R>) {
            return;
        } else {
            return R{};
        }
    }
    const IMP imp = class_getMethodImplementation(receiver->isa(), selector);
    if (!imp) objc_doesNotRecognizeSelector(receiver, selector);
    return reinterpret_cast<R (*)(id, SEL, Args...)>(imp)(receiver, selector, args...);
}

// Sends the class method `selector` to `cls`. A message to a nil class answers zero, as does
// one the class does not answer (a class looked up by name may lack a method in this SpringBoard).
template <typename R = void, typename... Args>
R objc_msgSendClass(Class cls, SEL selector, Args... args) {
    const IMP imp = cls ? class_getClassMethodImplementation(cls, selector) : nullptr;
    if (!imp) {
        if constexpr (std::is_void_v<R>) {
            return;
        } else {
            return R{};
        }
    }
    return reinterpret_cast<R (*)(Class, SEL, Args...)>(imp)(cls, selector, args...);
}
