#include "platform/foundation/RunLoop.h"

#include <poll.h>

#include <algorithm>
#include <vector>

RunLoop& RunLoop::main() {
    static RunLoop* loop = new RunLoop;  // lives as long as the process
    return *loop;
}

RunLoop::RunLoop() : clock_(std::make_shared<VirtualClock>()) {}

void RunLoop::setClock(std::shared_ptr<Clock> clock) {
    if (clock) clock_ = std::move(clock);
}

RunLoop::TimerId RunLoop::schedule(ClockTime time, Callback callback) {
    const TimerId id = nextId_++;
    items_.emplace(std::make_pair(time, id), std::move(callback));
    timeOfItem_.emplace(id, time);
    return id;
}

void RunLoop::cancel(TimerId id) {
    const auto found = timeOfItem_.find(id);
    if (found == timeOfItem_.end()) return;
    items_.erase({found->second, id});
    timeOfItem_.erase(found);
}

bool RunLoop::isScheduled(TimerId id) const { return timeOfItem_.contains(id); }

void RunLoop::addSource(int fd, Callback onReadable) { sources_[fd] = std::move(onReadable); }

void RunLoop::removeSource(int fd) { sources_.erase(fd); }

void RunLoop::pollSources(ClockTime timeout) {
    std::vector<pollfd> fds;
    for (const auto& [fd, callback] : sources_) fds.push_back({fd, POLLIN, 0});
    const auto ms = std::max<long long>(std::chrono::ceil<std::chrono::milliseconds>(timeout).count(), 0);
    if (fds.empty() && ms == 0) return;
    // With no sources this is a plain sleep until the timeout.
    if (::poll(fds.data(), fds.size(), static_cast<int>(ms)) <= 0) return;
    for (const auto& p : fds) {
        if (!(p.revents & POLLIN)) continue;
        const auto source = sources_.find(p.fd);
        if (source == sources_.end()) continue;
        // Copied: the callback may remove its own source.
        const Callback callback = source->second;
        callback();
    }
}

bool RunLoop::runNextDue(ClockTime limit) {
    if (items_.empty()) return false;
    const auto first = items_.begin();
    const ClockTime time = first->first.first;
    if (time > limit) return false;
    if (time > clock_->now()) {
        if (clock_->isVirtual()) {
            clock_->advanceTo(time);
        } else {
            pollSources(time - clock_->now());
            if (clock_->now() < time) return true;  // woken early: look again
        }
    }
    const auto node = items_.extract(first);
    timeOfItem_.erase(node.key().second);
    node.mapped()();
    return true;
}

void RunLoop::runUntil(ClockTime time) {
    do {
        pollSources(ClockTime{0});
    } while (runNextDue(time));
    if (clock_->isVirtual()) {
        clock_->advanceTo(time);
        return;
    }
    while (clock_->now() < time) {
        pollSources(time - clock_->now());  // wakes when a source has data, or at `time`
        while (runNextDue(time)) pollSources(ClockTime{0});
    }
}
