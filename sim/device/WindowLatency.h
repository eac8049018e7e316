#pragma once

// How long a touch waits to be seen in the window: from the moment the window system hands the
// event over (its timestamp, on SDL's millisecond clock) to the present of the first frame that
// shows it. Only the first input since the last frame counts, since the ones after it wait less.
// The frame-rate overlay shows the middle figure of its last stretch; --latency-log writes each
// frame that showed input as one JSON line, with the time spent drawing and presenting it.

#include <cstdint>
#include <optional>
#include <ostream>
#include <vector>

class WindowLatency {
public:
    explicit WindowLatency(std::ostream* log = nullptr) : log_(log) {}

    // An input with this event timestamp was handled.
    void input(uint32_t stamp) {
        if (!waitingSince_) waitingSince_ = stamp;
    }
    // A frame went out at `now`, after `drawMs` drawing the screen and `presentMs` presenting it.
    void presented(uint32_t now, double drawMs, double presentMs);
    // The middle of the figures since the last call, which forgets them; nothing without any.
    std::optional<uint32_t> takeMedian();
    // Whether the log could not be written.
    bool failed() const { return log_ && !*log_; }

private:
    std::ostream* log_;
    std::optional<uint32_t> waitingSince_;
    std::vector<uint32_t> stretch_;
};
