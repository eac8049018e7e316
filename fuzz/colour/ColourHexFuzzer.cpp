// Feeds arbitrary bytes to colorWithHexString, the reader of hexadecimal colours ("ff8000",
// "0xFF8000"). Beyond not crashing, a colour it reads is opaque, its components are whole
// multiples of 1/255, and its six-digit hex string reads back as the same colour, bare or with
// "0x" before it.

#include "colour/UIColor_Expanded.h"

#include <cmath>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

bool isWholeEighthBit(float component) {
    const float scaled = component * 255.0f;
    return component >= 0.0f && component <= 1.0f && std::fabs(scaled - std::round(scaled)) < 1e-3f;
}

void checkColour(const UIColorRef& color) {
    using namespace UIColor_Expanded;
    float r = 0, g = 0, b = 0, a = 0;
    if (!red(color, &r, &g, &b, &a) || a != 1.0f) std::abort();
    if (!isWholeEighthBit(r) || !isWholeEighthBit(g) || !isWholeEighthBit(b)) std::abort();
    const std::string hex = hexStringFromColor(color);
    if (hex.size() != 6 || hex.find_first_not_of("0123456789ABCDEF") != std::string::npos) {
        std::abort();
    }
    for (const std::string& again : {hex, "0x" + hex}) {
        const UIColorRef reread = colorWithHexString(again);
        if (!reread || hexStringFromColor(reread) != hex) std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    if (const UIColorRef color = UIColor_Expanded::colorWithHexString(text)) checkColour(color);
    return 0;
}
