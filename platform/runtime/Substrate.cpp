#include "platform/runtime/Substrate.h"

void MSHookMessageEx(Class cls, SEL selector, IMP replacement, IMP* previous) {
    if (previous) *previous = nullptr;
    if (!cls || !selector || !class_respondsToSelector(cls, selector)) return;
    const IMP old = class_replaceMethod(cls, selector, replacement);
    if (previous) *previous = old;
}
