// Feeds arbitrary bytes to the colour-text readers. Beyond not crashing, a colour read from a
// colour string must write a string that reads back as a colour of the same model.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "colour/UIColor_Expanded.h"
#include "colour/UIColor_Expanded_Support.h"

namespace {

bool hasFiniteComponents(const UIColorRef& color) {
    const float* components = CGColorGetComponents(color->CGColor());
    for (size_t i = 0; i < CGColorGetNumberOfComponents(color->CGColor()); ++i) {
        if (!std::isfinite(components[i])) return false;
    }
    return true;
}

// The written string of a finite colour reads back with as many components. An infinite
// component is written "inf", which no colour string accepts, so those are left out.
void checkRoundTrip(const UIColorRef& color) {
    if (!hasFiniteComponents(color)) return;
    std::optional<std::string> written = UIColor_Expanded::stringFromColor(color);
    UIColorRef reread = written ? UIColor_Expanded::colorWithString(*written) : nullptr;
    if (!reread || CGColorGetNumberOfComponents(reread->CGColor()) !=
                       CGColorGetNumberOfComponents(color->CGColor())) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    if (UIColorRef color = UIColor_Expanded::colorWithString(text)) checkRoundTrip(color);
    UIColor_Expanded::colorWithHexString(text);
    // The name cache keeps every name it is asked for, by design; the fuzzer searches the table
    // directly so that a long run does not grow the cache without bound.
    UIColor_Expanded_Support::searchForColorByName(text);
    return 0;
}
