#include "tests/panel/PanelSim.h"

#include "tests/support/RunProgram.h"

#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <sstream>

std::vector<nlohmann::json> PanelRun::all(const std::string& name) const {
    std::vector<nlohmann::json> result;
    for (const auto& e : events) {
        if (e["ev"] == name) result.push_back(e);
    }
    return result;
}

nlohmann::json PanelRun::lastRows() const {
    const auto rows = all("rows");
    return rows.empty() ? nlohmann::json::array() : rows.back()["rows"];
}

PanelSim::PanelSim() {
    const std::filesystem::path device = CORVANE_DEVICE_DIR;
    for (const char* folder : {"Library/MobileSubstrate", "Library/PreferenceLoader",
                               "Library/PreferenceBundles"}) {
        std::filesystem::create_directories(root_.path() / folder);
        std::filesystem::copy(device / folder, root_.path() / folder,
                              std::filesystem::copy_options::recursive);
    }
}

PanelRun PanelSim::run(const std::string& script) {
    root_.write("/panel.settings", script);
    const auto result = runProgram(CORVANE_SETTINGS_PATH,
                                   {"--root", root_.path().string(), "--script",
                                    (root_.path() / "panel.settings").string(), "--record",
                                    (root_.path() / "shots").string()},
                                   root_.path());
    PanelRun run{result.status, result.err, {}};
    std::istringstream lines(result.out);
    for (std::string line; std::getline(lines, line);) {
        run.events.push_back(nlohmann::json::parse(line));
    }
    return run;
}

LiveProgram::LiveProgram(const char* program, const TemporaryRoot& root, std::vector<std::string> options) {
    int in[2], out[2];
    if (::pipe(in) != 0 || ::pipe(out) != 0) return;
    std::vector<std::string> words = {program, "--root", root.path().string()};
    words.insert(words.end(), options.begin(), options.end());
    words.insert(words.end(), {"--script", "-"});
    pid_ = ::fork();
    if (pid_ == 0) {
        ::dup2(in[0], STDIN_FILENO);
        ::dup2(out[1], STDOUT_FILENO);
        for (const int fd : {in[0], in[1], out[0], out[1]}) ::close(fd);
        std::vector<char*> argv;
        for (auto& word : words) argv.push_back(word.data());
        argv.push_back(nullptr);
        ::execv(program, argv.data());
        std::_Exit(127);
    }
    ::close(in[0]);
    ::close(out[1]);
    input_ = in[1];
    output_ = out[0];
    // A program that has ended fails the test; a line sent to it must not end the test too.
    ::signal(SIGPIPE, SIG_IGN);
}

LiveSpringBoard::LiveSpringBoard(const TemporaryRoot& root, bool keepAlive)
    : LiveProgram(CORVANE_SIM_PATH, root,
                  keepAlive ? std::vector<std::string>{"--keep-alive"} : std::vector<std::string>{}) {}

LiveProgram::~LiveProgram() {
    if (input_ >= 0) ::close(input_);
    if (pid_ > 0) {
        // The script's end ends the simulator; a SpringBoard that hangs is ended.
        pollfd done{output_, POLLIN, 0};
        while (::poll(&done, 1, 5000) > 0) {
            char buffer[4096];
            if (::read(output_, buffer, sizeof buffer) <= 0) break;
        }
        ::kill(pid_, SIGKILL);
        int status = 0;
        ::waitpid(pid_, &status, 0);
    }
    if (output_ >= 0) ::close(output_);
}

void LiveProgram::send(const std::string& lines) {
    for (std::size_t done = 0; done < lines.size();) {
        const ssize_t n = ::write(input_, lines.data() + done, lines.size() - done);
        if (n <= 0) return;
        done += std::size_t(n);
    }
}

bool LiveProgram::waitFor(const std::function<bool(const nlohmann::json&)>& match) {
    for (;;) {
        for (std::size_t end; (end = pending_.find('\n')) != std::string::npos;) {
            const std::string line = pending_.substr(0, end);
            pending_.erase(0, end + 1);
            events_.push_back(nlohmann::json::parse(line));
            if (match(events_.back())) return true;
        }
        pollfd ready{output_, POLLIN, 0};
        if (::poll(&ready, 1, 20000) <= 0) return false;
        char buffer[4096];
        const ssize_t n = ::read(output_, buffer, sizeof buffer);
        if (n <= 0) return false;
        pending_.append(buffer, std::size_t(n));
    }
}

bool LiveSpringBoard::settle() {
    send("dump session\n");
    return waitFor([](const nlohmann::json& e) { return e["ev"] == "dump"; });
}
