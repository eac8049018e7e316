#pragma once

// A non-owning reference to an object that may go away first: a delegate, a target, the view of a
// touch. An object owned by a shared_ptr is held weakly and reads as nil once it is gone; an object
// owned some other way (a static, a member) is held as a plain pointer and must outlive the
// reference.

#include "platform/runtime/NSObject.h"

#include <memory>

template <typename T>
class WeakRef {
public:
    WeakRef() = default;
    // Refers to `object`; nil stays nil.
    explicit WeakRef(T* object) { reset(object); }

    // Refers to `object` from now on.
    void reset(T* object) {
        raw_ = object;
        weak_ = object ? static_cast<const NSObject*>(object)->weak_from_this()
                       : std::weak_ptr<const NSObject>();
        owned_ = object && !weak_.expired();
    }
    // The object, or nil when there is none or it has gone away.
    T* get() const {
        if (!owned_) return raw_;
        return weak_.expired() ? nullptr : raw_;
    }
    // The object, kept alive while the handle lives; null when it has gone away. An object not
    // owned by a shared_ptr comes back as a handle that does not own it.
    std::shared_ptr<T> lock() const {
        if (!owned_) return std::shared_ptr<T>(std::shared_ptr<T>(), raw_);
        auto owner = weak_.lock();
        return owner ? std::shared_ptr<T>(owner, raw_) : nullptr;
    }

private:
    T* raw_ = nullptr;
    std::weak_ptr<const NSObject> weak_;
    bool owned_ = false;
};

using WeakId = WeakRef<NSObject>;
