#pragma once

// The keys of the device's window as a script names them ("key l", "key 5", "key escape"): the
// same keys a person presses, so that a script replays them the same way.

#include <cctype>
#include <optional>
#include <string>
#include <string_view>

inline constexpr int kEscapeKey = 27;
inline constexpr int kBackspaceKey = '\b';

// The script word for a key the window passes on (a letter, a digit, Escape, Backspace); empty
// for a key a script cannot name.
inline std::string deviceKeyName(int keyCode) {
    if (keyCode == kEscapeKey) return "escape";
    if (keyCode == kBackspaceKey) return "backspace";
    if (keyCode > 0 && keyCode < 128 && std::isalnum(keyCode)) {
        return std::string(1, static_cast<char>(std::tolower(keyCode)));
    }
    return {};
}

// The key a script word names; nothing for a word that names none.
inline std::optional<int> deviceKeyNamed(std::string_view name) {
    if (name == "escape") return kEscapeKey;
    if (name == "backspace") return kBackspaceKey;
    if (name.size() == 1 && std::isalnum(static_cast<unsigned char>(name[0]))) {
        return std::tolower(static_cast<unsigned char>(name[0]));
    }
    return std::nullopt;
}
