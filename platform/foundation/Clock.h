#pragma once

// The one clock of a process. Scripts and tests use a virtual clock, advanced only when they say
// so; the device window uses the steady clock of the machine.

#include <chrono>

// Time on a clock, counted from the clock's start.
using ClockTime = std::chrono::microseconds;

class Clock {
public:
    virtual ~Clock() = default;
    // The time now.
    virtual ClockTime now() const = 0;
    // Moves the clock to `time` if it is virtual (never backwards); a real clock ignores this.
    virtual void advanceTo(ClockTime time) = 0;
    // Whether time passes only by advanceTo.
    virtual bool isVirtual() const = 0;
};

// A clock that stands still until advanced: every run is the same.
class VirtualClock final : public Clock {
public:
    ClockTime now() const override { return now_; }
    void advanceTo(ClockTime time) override {
        if (time > now_) now_ = time;
    }
    bool isVirtual() const override { return true; }

private:
    ClockTime now_{0};
};

// The machine's monotonic clock, counted from this object's creation.
class SteadyClock final : public Clock {
public:
    SteadyClock() : start_(std::chrono::steady_clock::now()) {}
    ClockTime now() const override {
        return std::chrono::duration_cast<ClockTime>(std::chrono::steady_clock::now() - start_);
    }
    void advanceTo(ClockTime) override {}
    bool isVirtual() const override { return false; }

private:
    std::chrono::steady_clock::time_point start_;
};

// Seconds (the platform's time intervals) as clock time, rounded to the microsecond.
inline ClockTime clockTimeFromSeconds(double seconds) {
    return std::chrono::round<ClockTime>(std::chrono::duration<double>(seconds));
}

// Clock time as seconds.
inline double secondsFromClockTime(ClockTime time) {
    return std::chrono::duration<double>(time).count();
}
