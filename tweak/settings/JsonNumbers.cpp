#include "tweak/settings/JsonNumbers.h"

#include <charconv>
#include <cmath>

nlohmann::ordered_json jsonFloat(float value) {
    if (!std::isfinite(value)) return nullptr;
    // The shortest text of the float, read as a double, prints back as that same short text.
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, value).ptr;
    double widened = 0;
    std::from_chars(text, end, widened);
    return widened;
}

nlohmann::ordered_json jsonDouble(double value) {
    if (!std::isfinite(value)) return nullptr;
    return value;
}
