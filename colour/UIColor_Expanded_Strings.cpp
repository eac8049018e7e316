// UIColor_Expanded: the colour string, the hexadecimal forms and a random colour.

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <initializer_list>

#include "colour/CategoryMessages.h"
#include "colour/ColorScanning.h"
#include "colour/UIColor_Expanded.h"

namespace UIColor_Expanded {

using detail::ColorStringScanner;
using detail::require;
using detail::sendTo;

namespace {

// A component as "%0.3f" prints it in the C locale: widened to double, fixed notation, three
// decimals, rounded to nearest.
void appendComponent(std::string& text, float component) {
    char digits[64];
    auto [end, error] = std::to_chars(digits, digits + sizeof(digits),
                                      static_cast<double>(component), std::chars_format::fixed, 3);
    text.append(digits, end);
}

std::string colorString(std::initializer_list<float> components) {
    std::string text = "{";
    for (float component : components) {
        if (text.size() > 1) text += ", ";
        appendComponent(text, component);
    }
    return text + "}";
}

// The numbers read from a colour string: one to four.
struct ColorNumbers {
    std::array<float, 4> slots{};
    std::size_t count = 0;
};

// The numbers of a colour string, or nothing when the text is not one.
std::optional<ColorNumbers> scanColorString(std::string_view text) {
    ColorStringScanner scanner(text);
    ColorNumbers numbers;
    if (!scanner.scanCharacter('{')) return std::nullopt;
    std::optional<float> number = scanner.scanFloat();
    if (!number) return std::nullopt;
    numbers.slots[numbers.count++] = *number;
    while (!scanner.scanCharacter('}')) {
        // A fifth number is never read: after the fourth only "}" may follow.
        if (numbers.count == numbers.slots.size() || !scanner.scanCharacter(',')) {
            return std::nullopt;
        }
        number = scanner.scanFloat();
        if (!number) return std::nullopt;
        numbers.slots[numbers.count++] = *number;
    }
    if (!scanner.isAtEnd()) return std::nullopt;
    return numbers;
}

}  // namespace

std::optional<std::string> stringFromColor(const UIColorRef& self) {
    return sendTo(self, [&]() -> std::optional<std::string> {
        require(canProvideRGBComponents(self), self, "stringFromColor", 293,
                "Must be an RGB color to use -stringFromColor");
        switch (colorSpaceModel(self)) {
            case kCGColorSpaceModelMonochrome:
                return colorString({white(self), alpha(self)});
            case kCGColorSpaceModelRGB:
                return colorString({red(self), green(self), blue(self), alpha(self)});
            default:
                return std::nullopt;
        }
    });
}

std::string hexStringFromColor(const UIColorRef& self) {
    return sendTo(self, [&] {
        uint32_t value = rgbHex(self);
        std::string text = "000000";
        for (std::size_t digit = text.size(); digit-- > 0; value >>= 4) {
            text[digit] = "0123456789ABCDEF"[value & 0xF];
        }
        return text;
    });
}

UIColorRef colorWithString(std::string_view text) {
    std::optional<ColorNumbers> numbers = scanColorString(text);
    if (!numbers) return nullptr;
    const std::array<float, 4>& n = numbers->slots;
    switch (numbers->count) {
        case 2:
            return UIColor::colorWithWhite(n[0], n[1]);
        case 4:
            return UIColor::colorWithRed(n[0], n[1], n[2], n[3]);
        default:
            return nullptr;
    }
}

UIColorRef colorWithRGBHex(uint32_t value) {
    float red = static_cast<float>((value >> 16) & 0xFF) / 255.0f;
    float green = static_cast<float>((value >> 8) & 0xFF) / 255.0f;
    float blue = static_cast<float>(value & 0xFF) / 255.0f;
    return UIColor::colorWithRed(red, green, blue, 1.0);
}

UIColorRef colorWithHexString(std::string_view text) {
    std::optional<uint32_t> value = detail::scanHexInt(text);
    return value ? colorWithRGBHex(*value) : nullptr;
}

UIColorRef randomColor() {
    // Drawn in the order red, green, blue; the generator is left as the process seeded it.
    float red = TestApi::randomComponent(random());
    float green = TestApi::randomComponent(random());
    float blue = TestApi::randomComponent(random());
    return UIColor::colorWithRed(red, green, blue, 1.0);
}

namespace TestApi {

float randomComponent(long drawn) {
    // random() / 2^31 is below 1, but the 64 largest draws round up to 1 in single precision;
    // they are held at the largest float below 1 so that a component stays in [0, 1).
    float component = static_cast<float>(static_cast<double>(drawn) / 2147483648.0);
    return std::min(component, std::nextafter(1.0f, 0.0f));
}

}  // namespace TestApi

}  // namespace UIColor_Expanded
