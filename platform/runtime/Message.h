#pragma once

// Messages declared once, with their types. A message is a selector name and the function type
// of its implementations; sending it checks the arguments against that type when the program is
// compiled, so a float message cannot be handed a double somewhere and call a float
// implementation with the wrong bits. Declare each message next to the class that answers it:
//
//     inline constinit const Message<void(float)> kRestartDimTimer{"restartDimTimer:"};
//     kRestartDimTimer.send(controller, 10.0f);   // kRestartDimTimer.send(controller, 10.0) does
//                                                 // not compile
//
// Class methods are ClassMessage; a selector chosen at run time (a did-stop selector, a target's
// action) is sent with the MessageShape of its signature.

#include "platform/runtime/NSObject.h"
#include "platform/runtime/Runtime.h"

#include <atomic>
#include <concepts>
#include <type_traits>

namespace objc_message {

// An argument given at a send: the declared type itself, or, where a pointer is declared, a
// pointer that converts to it (an object of a subclass, nullptr). Numbers never convert.
template <typename Given, typename Declared>
concept Argument =
    std::same_as<std::remove_cvref_t<Given>, std::remove_cv_t<Declared>> ||
    (std::is_pointer_v<Declared> && std::is_convertible_v<Given, Declared>);

template <typename... Given>
struct Arguments {
    template <typename... Declared>
    static constexpr bool match() {
        if constexpr (sizeof...(Given) != sizeof...(Declared)) {
            return false;
        } else {
            return (Argument<Given, Declared> && ...);
        }
    }
};

// What a message to nil, or one nobody answers where that is allowed, answers: zero.
template <typename R>
R zero() {
    if constexpr (!std::is_void_v<R>) return R{};
}

// A selector name, registered with the runtime on first use and kept.
class SelectorName {
public:
    constexpr explicit SelectorName(const char* name) : name_(name) {}
    SelectorName(const SelectorName&) = delete;
    SelectorName& operator=(const SelectorName&) = delete;

    const char* name() const { return name_; }
    SEL selector() const {
        SEL selector = cached_.load(std::memory_order_acquire);
        if (!selector) {
            selector = sel_registerName(name_);
            cached_.store(selector, std::memory_order_release);
        }
        return selector;
    }

private:
    const char* name_;
    mutable std::atomic<SEL> cached_{nullptr};
};

}  // namespace objc_message

template <typename Signature>
class MessageShape;

// How any selector whose implementations have the signature R (id, SEL, Args...) is sent.
template <typename R, typename... Args>
class MessageShape<R(Args...)> {
public:
    using Implementation = R (*)(id self, SEL cmd, Args...);

    // Sends `selector` to `receiver` through its class's method table. A message to nil answers
    // zero; one that the receiver does not answer raises (objc_doesNotRecognizeSelector).
    template <typename... Given>
        requires(objc_message::Arguments<Given...>::template match<Args...>())
    static R send(id receiver, SEL selector, Given&&... arguments) {
        if (!receiver) return objc_message::zero<R>();
        const IMP imp = class_getMethodImplementation(receiver->isa(), selector);
        if (!imp) objc_doesNotRecognizeSelector(receiver, selector);
        return reinterpret_cast<Implementation>(imp)(receiver, selector,
                                                     static_cast<Args>(arguments)...);
    }
};

template <typename Signature>
class Message;

// An instance message: its selector name and the signature of its implementations.
template <typename R, typename... Args>
class Message<R(Args...)> : public objc_message::SelectorName {
public:
    using Shape = MessageShape<R(Args...)>;
    using Implementation = typename Shape::Implementation;
    using SelectorName::SelectorName;

    // Sends the message to `receiver` (see MessageShape::send).
    template <typename... Given>
        requires(objc_message::Arguments<Given...>::template match<Args...>())
    R send(id receiver, Given&&... arguments) const {
        return Shape::send(receiver, selector(), std::forward<Given>(arguments)...);
    }

    // Whether `receiver` answers the message (NO for nil).
    bool isAnsweredBy(const NSObject* receiver) const {
        return receiver && receiver->respondsToSelector(selector());
    }

    // The entry that gives a class being defined `implementation` for this message.
    objc_method_entry implementedBy(Implementation implementation) const {
        return {name(), imp_cast(implementation)};
    }
};

template <typename Signature>
class ClassMessage;

// A class message: sent to a class, its implementations take the class as the receiver.
template <typename R, typename... Args>
class ClassMessage<R(Args...)> : public objc_message::SelectorName {
public:
    using Implementation = R (*)(Class cls, SEL cmd, Args...);
    using SelectorName::SelectorName;

    // Sends the message to `cls`. A nil class answers zero, and so does a class that lacks the
    // method: a class looked up by name may not offer it in this process.
    template <typename... Given>
        requires(objc_message::Arguments<Given...>::template match<Args...>())
    R send(Class cls, Given&&... arguments) const {
        const IMP imp = cls ? class_getClassMethodImplementation(cls, selector()) : nullptr;
        if (!imp) return objc_message::zero<R>();
        return reinterpret_cast<Implementation>(imp)(cls, selector(),
                                                     static_cast<Args>(arguments)...);
    }

    // The entry that gives a class being defined `implementation` for this class message.
    objc_method_entry implementedBy(Implementation implementation) const {
        return {name(), imp_cast(implementation), objc_method_entry::Kind::Class};
    }
};

// A method of a class known by name that a tweak may replace: where it lives and its message.
template <typename Signature>
class ReplaceableMethod {
public:
    constexpr ReplaceableMethod(const char* className, const Message<Signature>& message)
        : className(className), message(message) {}

    const char* const className;
    const Message<Signature>& message;
};
