// A module that replaces all twenty methods a tweak may replace, logs the class and selector of
// each call, and passes the call on unchanged: the trace then shows when SpringBoard sends each.

#include "platform/foundation/NSLog.h"
#include "platform/runtime/Substrate.h"
#include "platform/springboard/SpringBoardInterface.h"

#include <string>
#include <unordered_map>

namespace {

// What each replaced selector logs and calls on; the twenty selectors are all different.
struct Saved {
    const char* className;
    IMP previous;
};

std::unordered_map<SEL, Saved>& saved() {
    static auto* table = new std::unordered_map<SEL, Saved>;
    return *table;
}

// The replacement of every method of this shape.
template <typename R, typename... Args>
R logged(id self, SEL cmd, Args... args) {
    const Saved& row = saved().at(cmd);
    NSLog(std::string("hook ") + row.className + " " + sel_getName(cmd));
    return reinterpret_cast<typename Message<R(Args...)>::Implementation>(row.previous)(self, cmd,
                                                                                      args...);
}

template <typename R, typename... Args>
void install(const ReplaceableMethod<R(Args...)>& method) {
    typename Message<R(Args...)>::Implementation previous = nullptr;
    MSHookMethod(method, &logged<R, Args...>, &previous);
    saved()[method.message.selector()] = {method.className, imp_cast(previous)};
}

[[gnu::constructor]] void installHooks() {
    SB::forEachReplaceableMethod([](const auto& method) { install(method); });
}

}  // namespace
