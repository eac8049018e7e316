#pragma once

// The colour category as another module reaches it: the library that carries the category
// registers these messages on the runtime class "UIColor" when it loads, so that a module which
// does not link it (the settings panel, in the Settings application where the tweak library is
// loaded too) can send them by name. Each takes the colour it works on as its first argument, as
// the category's functions do; without the category loaded every message answers zero (nil, 0).

#include "platform/runtime/Message.h"
#include "platform/uikit/UIColor.h"

#include <optional>
#include <string>

namespace UIColorExpandedMessage {
inline constinit const ClassMessage<UIColorRef(std::string text)> colorWithString{
    "colorWithString:"};
inline constinit const ClassMessage<std::optional<std::string>(UIColorRef color)> stringFromColor{
    "stringFromColor:"};
inline constinit const ClassMessage<float(UIColorRef color)> red{"red:"};
inline constinit const ClassMessage<float(UIColorRef color)> green{"green:"};
inline constinit const ClassMessage<float(UIColorRef color)> blue{"blue:"};
inline constinit const ClassMessage<float(UIColorRef color)> alpha{"alpha:"};
}  // namespace UIColorExpandedMessage

// The runtime class the category's messages are registered on.
inline Class UIColorRuntimeClass() { return objc_registerClassPair("UIColor", NSObject::class_()); }
