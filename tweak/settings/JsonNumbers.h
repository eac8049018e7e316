#pragma once

// Numbers in JSON with just enough digits to read back the same value.

#include <nlohmann/json.hpp>

// A 32-bit float as the shortest decimal that reads back as the same float (0.85f prints as
// 0.85, not 0.8500000238418579).
nlohmann::ordered_json jsonFloat(float value);

// A double (JSON's own shortest round-trip form); a value that is not finite becomes null.
nlohmann::ordered_json jsonDouble(double value);
