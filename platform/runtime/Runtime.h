#pragma once

// The runtime: classes registered by name with their superclass, selectors, and per-class
// method tables through which the replaceable methods are sent, so that a replacement installed
// on a class takes effect for every instance of it and of its subclasses that do not override.

#include <initializer_list>
#include <string>
#include <string_view>

// id, Class and SEL are declared in Forward.h.
#include "platform/runtime/Forward.h"

// An implementation, stored type-erased; it is cast back to its real signature,
// R (*)(id self, SEL _cmd, Args...), when it is called.
using IMP = void (*)();

// The selector of this name, made on first use.
SEL sel_registerName(std::string_view name);
// The name of a selector ("" for none).
const char* sel_getName(SEL selector);

// The class of this name, or null when no class of that name is registered.
Class objc_getClass(std::string_view name);
// Registers a class under `name` with its superclass (null for a root class). Registering a
// name again returns the class already registered.
Class objc_registerClassPair(std::string_view name, Class superclass);
const char* class_getName(Class cls);
Class class_getSuperclass(Class cls);
// Whether `cls` is `ancestor` or inherits from it.
bool class_isSubclassOf(Class cls, Class ancestor);

// One implementation of a class being defined: a selector name, its function, and whether it
// answers instances or the class itself. Message::implementedBy makes entries whose function
// type is checked against the message's.
struct objc_method_entry {
    enum class Kind { Instance, Class };
    const char* selector;
    IMP implementation;
    Kind kind = Kind::Instance;
};

// Registers `name` under `superclass` (as objc_registerClassPair) and gives it these
// implementations of its own; a class registered before keeps the implementations it has.
Class objc_defineClass(std::string_view name, Class superclass,
                       std::initializer_list<objc_method_entry> methods);

// A function as a type-erased implementation.
template <typename Function>
IMP imp_cast(Function function) {
    return reinterpret_cast<IMP>(function);
}

// The implementation of `selector` for instances of `cls`: its own, else the nearest
// superclass's; null when the class has none or has had the selector removed.
IMP class_getMethodImplementation(Class cls, SEL selector);
// Whether instances of `cls` answer `selector`.
bool class_respondsToSelector(Class cls, SEL selector);
// Gives `cls` its own implementation of `selector`; returns the one that applied before (its
// own or inherited), or null.
IMP class_replaceMethod(Class cls, SEL selector, IMP implementation);
// Class methods: the implementation of `selector` sent to the class `cls` itself (its own, else
// the nearest superclass's), and its replacement. Their implementations take the class as the
// receiver: R (*)(Class cls, SEL _cmd, Args...).
IMP class_getClassMethodImplementation(Class cls, SEL selector);
bool class_respondsToClassSelector(Class cls, SEL selector);
IMP class_replaceClassMethod(Class cls, SEL selector, IMP implementation);

// Takes `selector` away from `cls` and its subclasses that do not define it themselves, inherited
// or not: afterwards they answer NO to respondsToSelector for it.
void class_removeMethod(Class cls, SEL selector);

// Throws std::logic_error naming the receiver's class and the selector ("-[UIView fetch:]:
// unrecognized selector sent to instance"): what a message without an implementation does.
[[noreturn]] void objc_doesNotRecognizeSelector(id receiver, SEL selector);

