#pragma once

// The touches of each gesture, taken from the example scripts: the fingers' path from the
// gesture's "down" to its "up", without the waits that pace a recording.

#include <filesystem>
#include <string>
#include <vector>

// The script lines of the gesture of unlock type `type` (0 to 6) as examples/ performs it; empty
// when the example cannot be read.
std::vector<std::string> exampleGesture(const std::filesystem::path& examples, int type);

// The seven unlock types, 0 drag to 6 vault.
inline constexpr int kUnlockTypes = 7;
