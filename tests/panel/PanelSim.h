#pragma once

// Runs corvane-settings scripts on a fresh device root with the tweak and the panel installed,
// reads the trace, and keeps a corvane-sim running beside it for the tests that cross processes.

#include "tests/support/TemporaryRoot.h"

#include <nlohmann/json.hpp>

#include <sys/types.h>

#include <functional>
#include <string>
#include <vector>

struct PanelRun {
    int status = 0;
    std::string err;
    std::vector<nlohmann::json> events;

    std::vector<nlohmann::json> all(const std::string& name) const;
    // The rows of the last "rows" event.
    nlohmann::json lastRows() const;
};

class PanelSim {
public:
    // A root with the tweak, its filter, the panel's bundle and its entry installed.
    PanelSim();

    // Runs `script` in corvane-settings; pictures go to root/shots.
    PanelRun run(const std::string& script);
    const TemporaryRoot& root() const { return root_; }

private:
    TemporaryRoot root_;
};

// A program on the same root (corvane-sim, corvane-settings) reading its script line by line from
// the test as it goes, its trace read as it comes.
class LiveProgram {
public:
    LiveProgram(const char* program, const TemporaryRoot& root, std::vector<std::string> options);
    ~LiveProgram();
    LiveProgram(const LiveProgram&) = delete;
    LiveProgram& operator=(const LiveProgram&) = delete;

    void send(const std::string& lines);
    // Reads the trace until an event satisfies `match` (true) or the trace ends (false); gives
    // up after 20 seconds, should the process hang.
    bool waitFor(const std::function<bool(const nlohmann::json&)>& match);
    const std::vector<nlohmann::json>& events() const { return events_; }

private:
    pid_t pid_ = -1;
    int input_ = -1, output_ = -1;
    std::string pending_;
    std::vector<nlohmann::json> events_;
};

// A corvane-sim on the same root.
class LiveSpringBoard : public LiveProgram {
public:
    LiveSpringBoard(const TemporaryRoot& root, bool keepAlive);
    // Sends "dump session" and waits for its event: every line sent before has run.
    bool settle();
};
