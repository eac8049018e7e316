// A tweak of the smallest kind: at load it replaces SBAwayView's setDimmed:, logs each call and
// passes it on.

#include "platform/foundation/NSLog.h"
#include "platform/runtime/Substrate.h"
#include "platform/springboard/SpringBoardInterface.h"

namespace {

Message<void(bool)>::Implementation savedSetDimmed = nullptr;

void replacementSetDimmed(id self, SEL cmd, bool dimmed) {
    NSLog(dimmed ? "hooked setDimmed: YES" : "hooked setDimmed: NO");
    savedSetDimmed(self, cmd, dimmed);
}

[[gnu::constructor]] void installHooks() {
    MSHookMethod(SB::replaceable::awayViewSetDimmed, &replacementSetDimmed, &savedSetDimmed);
}

}  // namespace
