#include "platform/foundation/SystemCommand.h"

#include "platform/foundation/DeviceSpringBoard.h"
#include "platform/foundation/NSLog.h"

#include <signal.h>

#include <cstring>
#include <string>

namespace {

std::function<void(std::string_view, int)>& observer() {
    static std::function<void(std::string_view, int)> current;
    return current;
}

int killSpringBoard() {
    const auto running = DeviceSpringBoard::running();
    if (const auto* why = std::get_if<std::string>(&running)) {
        NSLog("killall: no SpringBoard was ended: " + *why);
        return 1;
    }
    const pid_t pid = std::get<pid_t>(running);
    if (::kill(pid, SIGTERM) != 0) {
        NSLog("killall: SpringBoard (process " + std::to_string(pid) +
              ") could not be ended: " + std::strerror(errno));
        return 1;
    }
    return 0;
}

}  // namespace

int systemCommand(std::string_view command) {
    const int status = command == "killall SpringBoard" ? killSpringBoard() : 127;
    if (observer()) observer()(command, status);
    return status;
}

void setSystemCommandObserver(std::function<void(std::string_view, int)> function) {
    observer() = std::move(function);
}
