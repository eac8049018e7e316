#include "platform/foundation/NSLog.h"

#include <cstdio>
#include <map>
#include <mutex>
#include <string>

namespace {

struct SystemLog {
    std::mutex mutex;
    std::map<int, LogSink> sinks;
    int nextHandle = 1;
    bool toStandardError = true;
};

SystemLog& systemLog() {
    static SystemLog* log = new SystemLog;  // never freed: lines may be written during exit
    return *log;
}

}  // namespace

void NSLog(std::string_view line) {
    auto& log = systemLog();
    std::map<int, LogSink> sinks;
    {
        std::lock_guard lock(log.mutex);
        if (log.toStandardError) {
            std::fprintf(stderr, "%.*s\n", static_cast<int>(line.size()), line.data());
        }
        sinks = log.sinks;
    }
    // Sinks run outside the lock, so that one may log or remove itself.
    for (const auto& [handle, sink] : sinks) sink(line);
}

int addLogSink(LogSink sink) {
    auto& log = systemLog();
    std::lock_guard lock(log.mutex);
    const int handle = log.nextHandle++;
    log.sinks.emplace(handle, std::move(sink));
    return handle;
}

void removeLogSink(int handle) {
    auto& log = systemLog();
    std::lock_guard lock(log.mutex);
    log.sinks.erase(handle);
}

void setLogToStandardError(bool enabled) {
    auto& log = systemLog();
    std::lock_guard lock(log.mutex);
    log.toStandardError = enabled;
}
