// A tweak of the smallest kind: at load it replaces SBAwayView's setDimmed:, logs each call and
// passes it on.

#include "platform/foundation/NSLog.h"
#include "platform/runtime/Substrate.h"
#include "platform/runtime/objc.h"

namespace {

using SetDimmedIMP = void (*)(id, SEL, bool);
SetDimmedIMP savedSetDimmed = nullptr;

void replacementSetDimmed(id self, SEL cmd, bool dimmed) {
    NSLog(dimmed ? "hooked setDimmed: YES" : "hooked setDimmed: NO");
    savedSetDimmed(self, cmd, dimmed);
}

[[gnu::constructor]] void installHooks() {
    MSHookMessageEx(objc_getClass("SBAwayView"), sel_registerName("setDimmed:"),
                    reinterpret_cast<IMP>(replacementSetDimmed),
                    reinterpret_cast<IMP*>(&savedSetDimmed));
}

}  // namespace
