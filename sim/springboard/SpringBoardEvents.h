#pragma once

// Where the simulated SpringBoard reports what it does ("locked", "unlock-routine", ...): the
// simulator turns each report into a trace event.

#include <nlohmann/json.hpp>

#include <functional>
#include <string_view>

namespace SpringBoardEvents {

using Fields = nlohmann::ordered_json;
using Sink = std::function<void(std::string_view event, const Fields& fields)>;

// Sends every later report to `sink` (none: reports are dropped).
void setSink(Sink sink);

// Reports `event` with its fields.
void emit(std::string_view event, const Fields& fields = Fields::object());

}  // namespace SpringBoardEvents
