#pragma once

// The simulator's trace: one JSON object a line, each with "t" (milliseconds on the clock since
// boot) and "ev".

#include "platform/foundation/Clock.h"

#include <nlohmann/json.hpp>

#include <functional>
#include <ostream>
#include <string_view>

class Trace {
public:
    using Fields = nlohmann::ordered_json;

    // Writes to `out`, which must outlive the trace; `now` reads the clock.
    Trace(std::ostream& out, std::function<ClockTime()> now);

    // From now on "t" counts from this moment (the boot).
    void markBoot();

    // Writes one event: {"t": ..., "ev": name, ...fields}.
    void emit(std::string_view event, const Fields& fields = Fields::object());

private:
    std::ostream& out_;
    std::function<ClockTime()> now_;
    ClockTime boot_{0};
};
