#include "platform/runtime/Runtime.h"

#include "platform/runtime/NSObject.h"

#include <map>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <unordered_map>

struct objc_selector {
    std::string name;
};

class objc_class {
public:
    objc_class(std::string name, Class superclass) : name(std::move(name)), superclass(superclass) {}

    const std::string name;
    const Class superclass;
    // Own implementations; a null entry marks a selector taken away from this class.
    std::unordered_map<SEL, IMP> methods;
    std::unordered_map<SEL, IMP> classMethods;
};

namespace {

// The registry lives as long as the process: classes and selectors are never freed, so the
// pointers handed out stay valid in every module, loaded or not yet loaded.
struct Registry {
    std::recursive_mutex mutex;
    std::map<std::string, std::unique_ptr<objc_selector>, std::less<>> selectors;
    std::map<std::string, std::unique_ptr<objc_class>, std::less<>> classes;
};

Registry& registry() {
    static Registry* r = new Registry;
    return *r;
}

}  // namespace

SEL sel_registerName(std::string_view name) {
    auto& r = registry();
    std::lock_guard lock(r.mutex);
    auto found = r.selectors.find(name);
    if (found == r.selectors.end()) {
        found = r.selectors.emplace(std::string(name),
                                    std::make_unique<objc_selector>(objc_selector{std::string(name)}))
                    .first;
    }
    return found->second.get();
}

const char* sel_getName(SEL selector) { return selector ? selector->name.c_str() : ""; }

Class objc_getClass(std::string_view name) {
    auto& r = registry();
    std::lock_guard lock(r.mutex);
    const auto found = r.classes.find(name);
    return found == r.classes.end() ? nullptr : found->second.get();
}

Class objc_registerClassPair(std::string_view name, Class superclass) {
    auto& r = registry();
    std::lock_guard lock(r.mutex);
    auto found = r.classes.find(name);
    if (found == r.classes.end()) {
        found = r.classes.emplace(std::string(name),
                                  std::make_unique<objc_class>(std::string(name), superclass))
                    .first;
    }
    return found->second.get();
}

Class objc_defineClass(std::string_view name, Class superclass,
                       std::initializer_list<objc_method_entry> methods) {
    auto& r = registry();
    std::lock_guard lock(r.mutex);
    if (const Class existing = objc_getClass(name)) return existing;
    const Class cls = objc_registerClassPair(name, superclass);
    for (const auto& method : methods) {
        auto& table =
            method.kind == objc_method_entry::Kind::Class ? cls->classMethods : cls->methods;
        table[sel_registerName(method.selector)] = method.implementation;
    }
    return cls;
}

const char* class_getName(Class cls) { return cls ? cls->name.c_str() : "nil"; }

Class class_getSuperclass(Class cls) { return cls ? cls->superclass : nullptr; }

bool class_isSubclassOf(Class cls, Class ancestor) {
    for (; cls; cls = cls->superclass) {
        if (cls == ancestor) return true;
    }
    return false;
}

namespace {

IMP lookUp(Class cls, SEL selector, std::unordered_map<SEL, IMP> objc_class::*table) {
    std::lock_guard lock(registry().mutex);
    for (; cls; cls = cls->superclass) {
        const auto found = (cls->*table).find(selector);
        if (found != (cls->*table).end()) return found->second;
    }
    return nullptr;
}

// Gives `cls` its own entry in `table`; answers the implementation that applied before.
IMP replaceIn(Class cls, SEL selector, IMP implementation,
              std::unordered_map<SEL, IMP> objc_class::*table) {
    if (!cls || !selector) return nullptr;
    std::lock_guard lock(registry().mutex);
    const IMP previous = lookUp(cls, selector, table);
    (cls->*table)[selector] = implementation;
    return previous;
}

}  // namespace

IMP class_getMethodImplementation(Class cls, SEL selector) {
    return lookUp(cls, selector, &objc_class::methods);
}

IMP class_getClassMethodImplementation(Class cls, SEL selector) {
    return lookUp(cls, selector, &objc_class::classMethods);
}

bool class_respondsToClassSelector(Class cls, SEL selector) {
    return class_getClassMethodImplementation(cls, selector) != nullptr;
}

IMP class_replaceClassMethod(Class cls, SEL selector, IMP implementation) {
    return replaceIn(cls, selector, implementation, &objc_class::classMethods);
}

bool class_respondsToSelector(Class cls, SEL selector) {
    return class_getMethodImplementation(cls, selector) != nullptr;
}

IMP class_replaceMethod(Class cls, SEL selector, IMP implementation) {
    return replaceIn(cls, selector, implementation, &objc_class::methods);
}

void class_removeMethod(Class cls, SEL selector) {
    if (!cls || !selector) return;
    std::lock_guard lock(registry().mutex);
    cls->methods[selector] = nullptr;
}

void objc_doesNotRecognizeSelector(id receiver, SEL selector) {
    throw std::logic_error(std::string("-[") + class_getName(receiver ? receiver->isa() : nullptr) +
                           " " + sel_getName(selector) + "]: unrecognized selector sent to instance");
}

Class NSObject::class_() {
    static const Class cls = objc_registerClassPair("NSObject", nullptr);
    return cls;
}
