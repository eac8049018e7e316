// The colour category's messages, registered on the runtime class "UIColor" when the library
// that carries the category loads.

#include "colour/UIColorExpandedMessages.h"
#include "colour/UIColor_Expanded.h"

namespace {

UIColorRef colorWithString(Class, SEL, std::string text) {
    return UIColor_Expanded::colorWithString(text);
}

std::optional<std::string> stringFromColor(Class, SEL, UIColorRef color) {
    return UIColor_Expanded::stringFromColor(color);
}

// A component of a colour that has one; 0 for a colour whose components cannot be read, rather
// than the failed assertion the category's own function reports.
template <float (*Component)(const UIColorRef&)>
float component(Class, SEL, UIColorRef color) {
    if (!UIColor_Expanded::canProvideRGBComponents(color)) return 0;
    return Component(color);
}

float alpha(Class, SEL, UIColorRef color) { return UIColor_Expanded::alpha(color); }

void registerCategory(const auto& message, auto implementation) {
    const auto entry = message.implementedBy(implementation);
    class_replaceClassMethod(UIColorRuntimeClass(), message.selector(), entry.implementation);
}

[[gnu::constructor]] void registerCategoryMessages() {
    namespace message = UIColorExpandedMessage;
    registerCategory(message::colorWithString, &colorWithString);
    registerCategory(message::stringFromColor, &stringFromColor);
    registerCategory(message::red, &component<UIColor_Expanded::red>);
    registerCategory(message::green, &component<UIColor_Expanded::green>);
    registerCategory(message::blue, &component<UIColor_Expanded::blue>);
    registerCategory(message::alpha, &alpha);
}

}  // namespace
