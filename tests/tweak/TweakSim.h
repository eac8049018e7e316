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

// Unlocked once with the stock bar while an application is in front, then locked and woken:
// the picture of the application now lies beneath the lock screen.
inline const std::string kLockedOverMail =
    "front-app com.example.mail\nboot\ndown 60 432\nmove 280 432\nup\nwait 400\nlock\nwake\n";

// The script line that stores `value` under `key`.
inline std::string prefs(const std::string& key, const std::string& value) {
    return "prefs set " + key + " " + value + "\n";
}

// How many times SpringBoard's unlock routine ran for the tweak's own requests.
int tweakUnlocks(const TweakRun& run);

class TweakSim {
public:
    // A root with Corvane.so and its filter installed (and nothing else of the build's device).
    TweakSim();

    // Installs the build's badge and vault artwork into the root, as the package does; false
    // when the build has none to give.
    bool installArtwork();

    // Runs `script`; pictures go to root/shots.
    TweakRun run(const std::string& script);
    // Runs `script` recorded into root/run.webp; pictures go to root/shots.
    TweakRun runRecorded(const std::string& script);
    const TemporaryRoot& root() const { return root_; }

private:
    TweakRun runWith(const std::string& script, const std::vector<std::string>& arguments);

    TemporaryRoot root_;
};
