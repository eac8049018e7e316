#include "stress/StressReport.h"

#include <iostream>

namespace {

constexpr std::size_t kKeptProblems = 20;

}  // namespace

StressReport::StressReport(std::string check)
    : check_(std::move(check)), start_(std::chrono::steady_clock::now()) {}

void StressReport::figure(const std::string& name, nlohmann::ordered_json value) {
    figures_[name] = std::move(value);
}

void StressReport::fail(const std::string& problem) {
    ++problems_;
    if (kept_.size() < kKeptProblems) kept_.push_back(problem);
    std::cerr << check_ << ": " << problem << '\n';
}

int StressReport::finish() {
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
    for (const auto& [name, value] : figures_.items()) {
        std::cout << check_ << ": " << name << " = " << value.dump() << '\n';
    }
    std::cout << check_ << ": " << (passed() ? "passed" : "FAILED") << " in " << seconds << " s"
              << (passed() ? "" : " (" + std::to_string(problems_) + " problems)") << '\n';
    nlohmann::ordered_json result = {{"stress-result", check_},
                                     {"passed", passed()},
                                     {"seconds", seconds},
                                     {"figures", figures_},
                                     {"problems", problems_},
                                     {"first-problems", kept_}};
    std::cout << result.dump() << std::endl;
    return passed() ? 0 : 1;
}
