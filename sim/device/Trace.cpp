#include "sim/device/Trace.h"

#include <cerrno>
#include <cstring>

Trace::Trace(std::ostream& out, std::function<ClockTime()> now)
    : out_(out), now_(std::move(now)) {}

void Trace::markBoot() { boot_ = now_(); }

void Trace::emit(std::string_view event, const Fields& fields) {
    if (failed()) return;
    const auto micro = (now_() - boot_).count();
    Fields line;
    // Whole milliseconds print as integers; the clock keeps microseconds for animations.
    if (micro % 1000 == 0) {
        line["t"] = micro / 1000;
    } else {
        line["t"] = static_cast<double>(micro) / 1000.0;
    }
    line["ev"] = event;
    for (const auto& [key, value] : fields.items()) line[key] = value;
    // A stream that discards (no buffer) is no failure; one that cannot write is.
    if (!out_.rdbuf()) return;
    errno = 0;
    out_ << line.dump() << '\n';
    out_.flush();
    if (!out_) failure_ = errno != 0 ? std::strerror(errno) : "the output refused it";
}
