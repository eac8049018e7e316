#pragma once

// The root class. Every object knows its runtime class, so that messages sent through the
// method tables find the implementations of that class, replaced ones included.

#include "platform/runtime/Runtime.h"

#include <memory>
#include <type_traits>

class NSObject : public std::enable_shared_from_this<NSObject> {
public:
    // The runtime class "NSObject".
    static Class class_();

    virtual ~NSObject() = default;
    NSObject(const NSObject&) = delete;
    NSObject& operator=(const NSObject&) = delete;

    // The class of this object.
    Class isa() const { return isa_; }
    bool isKindOfClass(Class cls) const { return cls && class_isSubclassOf(isa_, cls); }
    bool isMemberOfClass(Class cls) const { return cls && isa_ == cls; }
    bool respondsToSelector(SEL selector) const { return class_respondsToSelector(isa_, selector); }

protected:
    // `cls` is the runtime class of the object being made (a subclass passes its own).
    explicit NSObject(Class cls) : isa_(cls) {}

private:
    Class isa_;
};

// Declares the runtime class of a C++ class: `static Class class_()`, registered with its
// superclass on first use. Put CV_REGISTER_CLASS in the class's source file.
#define CV_DECLARE_CLASS() static Class class_();
#define CV_REGISTER_CLASS(Type, Super)                                             \
    Class Type::class_() {                                                         \
        static const Class cls = ::objc_registerClassPair(#Type, Super::class_()); \
        return cls;                                                                \
    }

// `object` as a T when it is one (by its runtime class), else null.
template <typename T>
T* objc_cast(NSObject* object) {
    return object && object->isKindOfClass(T::class_()) ? static_cast<T*>(object) : nullptr;
}
