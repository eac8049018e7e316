#include "sim/springboard/SpringBoardTime.h"

#include "platform/foundation/RunLoop.h"

namespace SpringBoardTime {

namespace {
ClockTime bootTime{0};
}

void markBoot() { bootTime = RunLoop::main().now(); }

std::string timeText() {
    const auto minutes = std::chrono::duration_cast<std::chrono::minutes>(RunLoop::main().now() - bootTime);
    const long total = 9 * 60 + 41 + minutes.count();
    const long hour = (total / 60 - 1) % 12 + 1;
    const long minute = total % 60;
    return std::to_string(hour) + (minute < 10 ? ":0" : ":") + std::to_string(minute);
}

std::string dateText() { return "Tuesday, December 8"; }

}  // namespace SpringBoardTime
