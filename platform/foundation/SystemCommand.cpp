#include "platform/foundation/SystemCommand.h"

#include "platform/foundation/DeviceRoot.h"

#include <signal.h>

#include <charconv>
#include <fstream>
#include <sstream>
#include <string>

namespace {

std::function<void(std::string_view, int)>& observer() {
    static std::function<void(std::string_view, int)> current;
    return current;
}

// The process id written in the pid file, or 0.
pid_t springBoardPid() {
    std::ifstream file(DeviceRoot::resolve(kSpringBoardPidFile));
    std::string text;
    std::getline(file, text);
    pid_t pid = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), pid);
    return error == std::errc{} && pid > 1 ? pid : 0;
}

// Whether `pid` is a simulated SpringBoard: a process id left behind by one that has ended may
// have been given to any other program since.
bool isSimulatedSpringBoard(pid_t pid) {
    std::ifstream cmdline("/proc/" + std::to_string(pid) + "/cmdline", std::ios::binary);
    std::stringstream text;
    text << cmdline.rdbuf();
    const std::string program = text.str().substr(0, text.str().find('\0'));
    return program.ends_with("corvane-sim");
}

int killSpringBoard() {
    const pid_t pid = springBoardPid();
    if (!pid || !isSimulatedSpringBoard(pid)) return 1;
    return ::kill(pid, SIGTERM) == 0 ? 0 : 1;
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
