#pragma once

// Which of the lock screen's views the touch capture view takes touches from: its passive
// background (wallpaper, date, bulletins, charging and battery views, bare containers). Every
// other view, a control above all, keeps its touches.

#include "platform/runtime/Runtime.h"

#include <string_view>

class UIView;

// Finds a class by name; null when the running process has none.
using CVClassLookup = Class (*)(std::string_view name);

// Whether the touch capture view takes the touch that SpringBoard's lock-screen view would give
// to `hitView`. The classes are looked up through `lookUp` on every call, in the rule's order; a
// class that is not found never matches, and neither does a nil view.
bool CVTouchViewCapturesHitView(const UIView* hitView, CVClassLookup lookUp = &objc_getClass);
