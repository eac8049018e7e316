// A module whose load-time routine replaces "ping" of the host class "TestHost", as a tweak
// replaces SpringBoard's methods.

#include "platform/foundation/NSLog.h"
#include "platform/runtime/Substrate.h"
#include "platform/runtime/objc.h"

namespace {

using PingIMP = void (*)(id, SEL);
PingIMP savedPing = nullptr;

void replacementPing(id self, SEL cmd) {
    NSLog("replacement ran");
    savedPing(self, cmd);
}

[[gnu::constructor]] void installHooks() {
    MSHookMessageEx(objc_getClass("TestHost"), sel_registerName("ping"),
                    reinterpret_cast<IMP>(replacementPing), reinterpret_cast<IMP*>(&savedPing));
}

}  // namespace
