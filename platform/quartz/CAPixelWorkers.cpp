#include "platform/quartz/CAPixelWorkers.h"

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

namespace {

constexpr int kMostCores = 8;
// Below this many pixels a drawing is done sooner on one core than shared out: waking the workers
// and waiting for them costs some tens of microseconds.
constexpr int64_t kSharedPixels = 100'000;

// Whether this thread is running a part: a part that draws in parts runs them itself.
thread_local bool inPart = false;

// Asked once: the C library reads it from a file each time, a few microseconds a frame.
int processorCores() {
    static const int cores = std::clamp(int(std::thread::hardware_concurrency()), 1, kMostCores);
    return cores;
}

std::atomic<int> chosenCores{0};  // 0: the processor's

// The threads beside the drawing one, and the one job they help with at a time.
class Workers {
public:
    explicit Workers(int count) {
        threads_.reserve(size_t(count));
        for (int i = 0; i < count; ++i) {
            threads_.emplace_back([this](std::stop_token stop) { wait(stop); });
        }
    }
    ~Workers() {
        for (auto& thread : threads_) thread.request_stop();
        wake_.notify_all();
    }

    // Runs the job with `helpers` of the threads taking parts beside the caller; false, with
    // nothing run, when another caller's job holds them.
    bool run(int count, const std::function<void(int)>& part, int helpers) {
        std::unique_lock busy(busy_, std::try_to_lock);
        if (!busy) return false;
        uint64_t generation;
        {
            std::lock_guard lock(mutex_);
            job_ = &part;
            count_ = count;
            next_ = 0;
            unfinished_ = count;
            helpers_ = helpers;
            generation = ++generation_;
        }
        wake_.notify_all();
        takeParts(generation);
        std::unique_lock lock(mutex_);
        done_.wait(lock, [this] { return unfinished_ == 0; });
        job_ = nullptr;
        return true;
    }

private:
    void wait(std::stop_token stop) {
        uint64_t seen = 0;
        for (;;) {
            {
                std::unique_lock lock(mutex_);
                if (!wake_.wait(lock, stop, [&] { return generation_ != seen; })) return;
                seen = generation_;
                // Only as many threads as asked for take parts of this job.
                if (helpers_ == 0) continue;
                --helpers_;
            }
            takeParts(seen);
        }
    }

    // Takes parts of job `generation` one at a time until none is left (or a later job has
    // begun, which its own helpers take).
    void takeParts(uint64_t generation) {
        for (;;) {
            const std::function<void(int)>* job;
            int index;
            {
                std::lock_guard lock(mutex_);
                if (!job_ || next_ >= count_ || generation_ != generation) return;
                job = job_;
                index = next_++;
            }
            inPart = true;
            (*job)(index);
            inPart = false;
            std::lock_guard lock(mutex_);
            if (--unfinished_ == 0) done_.notify_all();
        }
    }

    std::mutex busy_;  // held by the caller whose job this is
    std::mutex mutex_;
    std::condition_variable_any wake_;
    std::condition_variable_any done_;
    const std::function<void(int)>* job_ = nullptr;
    int count_ = 0, next_ = 0, unfinished_ = 0, helpers_ = 0;
    uint64_t generation_ = 0;
    std::vector<std::jthread> threads_;  // last: they stop and are joined first
};

// The process's workers, made when first asked for; they live as long as the process. A process
// forked from one that had them has none of their threads, and makes its own.
Workers& workers() {
    static std::mutex guard;
    static Workers* shared = nullptr;
    static std::vector<Workers*> forsaken;  // a forked parent's, which cannot be ended here
    static pid_t owner = 0;
    std::lock_guard lock(guard);
    if (!shared || owner != ::getpid()) {
        if (shared) forsaken.push_back(shared);
        shared = new Workers(processorCores() - 1);
        owner = ::getpid();
    }
    return *shared;
}

}  // namespace

namespace CAPixelWorkers {

int cores() {
    const int chosen = chosenCores.load(std::memory_order_relaxed);
    return chosen > 0 ? std::min(chosen, processorCores()) : processorCores();
}

void setCores(int cores) {
    chosenCores.store(std::clamp(cores, 0, kMostCores), std::memory_order_relaxed);
}

void prepare() {
    if (cores() > 1) workers();
}

void forEach(int count, int64_t pixels, const std::function<void(int)>& part) {
    const int helpers = pixels >= kSharedPixels ? std::min(cores(), count) - 1 : 0;
    if (helpers <= 0 || inPart || !workers().run(count, part, helpers)) {
        for (int i = 0; i < count; ++i) part(i);
    }
}

}  // namespace CAPixelWorkers
