#include "stress/ExampleGestures.h"

#include <array>
#include <fstream>

namespace {

// The example that performs each unlock type, in the order of the types.
constexpr std::array<const char*, kUnlockTypes> kExamples = {
    "drag.sim", "overlay.sim", "pinch.sim", "peel.sim", "pull-badge.sim", "rotate.sim", "vault.sim"};

bool startsWith(const std::string& line, const char* word) { return line.rfind(word, 0) == 0; }

}  // namespace

std::vector<std::string> exampleGesture(const std::filesystem::path& examples, int type) {
    if (type < 0 || type >= kUnlockTypes) return {};
    std::ifstream file(examples / kExamples[static_cast<std::size_t>(type)]);
    std::vector<std::string> lines;
    bool recording = false;  // the gesture is the one recorded, after "record start"
    for (std::string line; std::getline(file, line);) {
        if (startsWith(line, "record start")) recording = true;
        if (!recording) continue;
        if (startsWith(line, "down ")) lines.clear();
        if (startsWith(line, "down ") || startsWith(line, "move ")) lines.push_back(line);
        if (startsWith(line, "up") && !lines.empty()) {
            lines.push_back("up");
            return lines;
        }
    }
    return {};
}
