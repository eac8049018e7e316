#pragma once

// The lock screen's own furniture: its clock can be hidden, the time shown in the status bar in
// its place, and the stock unlock bar kept out of the way. These rules apply whether or not the
// tweak is enabled.

#include "platform/runtime/Runtime.h"

// Whether the lock-screen clock is to be visible now: always unless it is to be hidden, and even
// then while media controls show or a sync runs.
bool lockClockShouldShow();

// The hidden flag the clock view gets instead of `hidden`, after bringing the clock (and, unless
// the unlock bar is to be hidden, the unlock bars) to the front. `clockView` is the TPLCDView.
bool clockViewHiddenFlag(id clockView, bool hidden);

// After the date view was made or told of media controls: the top bar is made visible when the
// clock is to be hidden.
void showTopBarIfClockHidden();

// The padlock and time flags SpringBoard's status bar gets instead of the ones it passed.
void statusBarFlags(bool& lockVisible, bool& timeVisible);
