#pragma once

// The simulator's trace: one JSON object a line, each with "t" (milliseconds on the clock since
// boot) and "ev".

#include "platform/foundation/Clock.h"

#include <nlohmann/json.hpp>

#include <functional>
#include <ostream>
#include <string>
#include <string_view>

class Trace {
public:
    using Fields = nlohmann::ordered_json;

    // Writes to `out`, which must outlive the trace; `now` reads the clock.
    Trace(std::ostream& out, std::function<ClockTime()> now);

    // From now on "t" counts from this moment (the boot).
    void markBoot();

    // Writes one event: {"t": ..., "ev": name, ...fields}, flushed at once. After a line that
    // could not be written, nothing more is written.
    void emit(std::string_view event, const Fields& fields = Fields::object());

    // Whether a line could not be written (a full disk, a closed pipe), and why in a few words:
    // the host ends its run and says so.
    bool failed() const { return !failure_.empty(); }
    const std::string& failure() const { return failure_; }

private:
    std::ostream& out_;
    std::function<ClockTime()> now_;
    ClockTime boot_{0};
    std::string failure_;
};
