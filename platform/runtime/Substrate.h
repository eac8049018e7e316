#pragma once

// The substrate's method replacement.

#include "platform/runtime/Runtime.h"

// Replaces the implementation of `selector` for instances of `cls` (and of its subclasses that
// do not define their own) by `replacement`, and stores in `*previous` (when not null) the
// implementation that applied before, own or inherited, to be called with the same receiver,
// selector and arguments. A missing class or selector leaves `*previous` null and changes
// nothing.
void MSHookMessageEx(Class cls, SEL selector, IMP replacement, IMP* previous);
