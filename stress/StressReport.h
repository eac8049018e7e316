#pragma once

// What one hardening check tried, how much, what survived and how long it took: printed for a
// person, then as one JSON line ("stress-result") that scripts/reliability.sh collects.

#include <nlohmann/json.hpp>

#include <chrono>
#include <string>
#include <vector>

class StressReport {
public:
    // Starts the clock of the check named `check`.
    explicit StressReport(std::string check);

    // Records a figure ("kills", 1000); a figure recorded again takes the new value.
    void figure(const std::string& name, nlohmann::ordered_json value);

    // Records a problem; the check fails. Only the first few are kept word for word.
    void fail(const std::string& problem);

    bool passed() const { return problems_ == 0; }

    // Prints the figures, the problems and the verdict; answers the exit status (0 passed, 1 not).
    int finish();

private:
    std::string check_;
    std::chrono::steady_clock::time_point start_;
    nlohmann::ordered_json figures_ = nlohmann::ordered_json::object();
    std::vector<std::string> kept_;
    int problems_ = 0;
};
