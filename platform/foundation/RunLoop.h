#pragma once

// The main run loop: one thread, one clock. Timers, animation ends and notifications are all
// scheduled here and run in time order; items due at the same time run in the order in which
// they were scheduled. File descriptors (the notification transport) are watched as sources.

#include "platform/foundation/Clock.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <utility>

class RunLoop {
public:
    using Callback = std::function<void()>;
    using TimerId = std::uint64_t;

    // The main run loop of the process, on a virtual clock until a host sets another.
    static RunLoop& main();

    RunLoop();

    // Replaces the clock. Items already scheduled keep their times.
    void setClock(std::shared_ptr<Clock> clock);
    Clock& clock() const { return *clock_; }
    ClockTime now() const { return clock_->now(); }

    // Runs `callback` once the clock reaches `time`; returns a handle for cancel.
    TimerId schedule(ClockTime time, Callback callback);
    // Runs `callback` after `delay` from now.
    TimerId scheduleAfter(ClockTime delay, Callback callback) {
        return schedule(now() + delay, std::move(callback));
    }
    // Runs `callback` at the next turn of the loop, after what is already due.
    TimerId perform(Callback callback) { return schedule(now(), std::move(callback)); }
    // Forgets a scheduled item; an item that already ran or was cancelled is ignored.
    void cancel(TimerId id);
    // Whether the item is still waiting to run.
    bool isScheduled(TimerId id) const;

    // Watches `fd`: `onReadable` runs on the loop whenever the descriptor has data.
    void addSource(int fd, Callback onReadable);
    void removeSource(int fd);

    // Runs everything due up to `time` in order, reading the sources first. A virtual clock is
    // advanced to each item's time before it runs and ends at `time`; with a real clock the loop
    // waits until the time comes.
    void runUntil(ClockTime time);
    // Runs everything due now.
    void runPending() { runUntil(now()); }
    // How many items wait.
    std::size_t pendingCount() const { return items_.size(); }

private:
    // Reads the sources that have data; waits at most `timeout` for one (0: no wait).
    void pollSources(ClockTime timeout);
    bool runNextDue(ClockTime limit);

    std::shared_ptr<Clock> clock_;
    // Ordered by (time, sequence): the sequence keeps ties in scheduling order.
    std::map<std::pair<ClockTime, TimerId>, Callback> items_;
    std::map<TimerId, ClockTime> timeOfItem_;
    std::map<int, Callback> sources_;
    TimerId nextId_ = 1;
};
