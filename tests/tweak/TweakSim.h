#pragma once

// Runs corvane-sim scripts on a fresh device root with the tweak installed, and reads the trace.

#include "tests/support/TemporaryRoot.h"

#include <nlohmann/json.hpp>

#include <string>
#include <vector>

struct TweakRun {
    int status = 0;
    std::string err;
    std::vector<nlohmann::json> events;

    // The events named `name`, in order.
    std::vector<nlohmann::json> all(const std::string& name) const;
    // The last "dump" event of `what` ("session", "views", "settings").
    nlohmann::json lastDump(const std::string& what) const;
    // How many views the windows of the last "views" dump hold, all levels counted.
    int viewCount() const;
};

class TweakSim {
public:
    // A root with Corvane.so and its filter installed (and nothing else of the build's device).
    TweakSim();

    // Runs `script`; pictures go to root/shots.
    TweakRun run(const std::string& script);
    const TemporaryRoot& root() const { return root_; }

private:
    TemporaryRoot root_;
};
