#include "sim/device/WindowLatency.h"

#include <algorithm>
#include <cmath>

void WindowLatency::presented(uint32_t now, double drawMs, double presentMs) {
    if (!waitingSince_) return;
    // SDL's clock wraps after 49 days; unsigned subtraction keeps the difference right across it.
    const uint32_t waited = now - *waitingSince_;
    waitingSince_.reset();
    stretch_.push_back(waited);
    if (log_ && *log_) {
        const auto tenths = [](double ms) { return std::round(ms * 10) / 10; };
        *log_ << "{\"input_ms\":" << waited << ",\"draw_ms\":" << tenths(drawMs)
              << ",\"present_ms\":" << tenths(presentMs) << "}\n"
              << std::flush;
    }
}

std::optional<uint32_t> WindowLatency::takeMedian() {
    if (stretch_.empty()) return std::nullopt;
    const auto middle = stretch_.begin() + std::ptrdiff_t(stretch_.size() / 2);
    std::nth_element(stretch_.begin(), middle, stretch_.end());
    const uint32_t median = *middle;
    stretch_.clear();
    return median;
}
