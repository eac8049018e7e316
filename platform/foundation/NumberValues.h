#pragma once

// The platform's number conversions: `boolValue`, `intValue` and `doubleValue` of numbers and of
// strings holding numbers.

#include <cstdint>
#include <optional>
#include <string_view>

#include "platform/foundation/Forward.h"

// Leading white space is skipped; after it and an optional sign and any zeros, YES when the text
// starts with Y, y, T, t or a digit 1 to 9 ("yes", "true", "  +007"), NO otherwise.
bool boolValue(std::string_view text);

// The longest decimal integer prefix after leading white space, 0 when there is none. A value
// beyond the 32-bit range gives INT_MAX or INT_MIN.
std::int32_t intValue(std::string_view text);

// The longest decimal floating-point prefix after leading white space (sign, digits, fraction,
// exponent), 0 when there is none. Overflow gives plus or minus infinity, underflow 0.
double doubleValue(std::string_view text);

// Conversions of a property-list value. Booleans, integers and reals answer as numbers do;
// strings as above. Any other kind (array, dictionary, data, date), and a real or a string whose
// number is not finite, answers nothing: a caller treats the value as absent.
std::optional<bool> boolValue(const PlistValue& value);
std::optional<std::int32_t> intValue(const PlistValue& value);
std::optional<double> doubleValue(const PlistValue& value);
