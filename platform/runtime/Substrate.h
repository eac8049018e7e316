#pragma once

// The substrate's method replacement.

#include "platform/runtime/Message.h"
#include "platform/runtime/Runtime.h"

// Replaces the implementation of `selector` for instances of `cls` (and of its subclasses that
// do not define their own) by `replacement`, and stores in `*previous` (when not null) the
// implementation that applied before, own or inherited, to be called with the same receiver,
// selector and arguments. A missing class or selector leaves `*previous` null and changes
// nothing.
void MSHookMessageEx(Class cls, SEL selector, IMP replacement, IMP* previous);

// MSHookMessageEx for a method declared with its type: the replacement and the slot that keeps
// the previous implementation must have the message's own signature.
template <typename Signature>
void MSHookMethod(const ReplaceableMethod<Signature>& method,
                  typename Message<Signature>::Implementation replacement,
                  typename Message<Signature>::Implementation* previous) {
    MSHookMessageEx(objc_getClass(method.className), method.message.selector(),
                    imp_cast(replacement), reinterpret_cast<IMP*>(previous));
}
