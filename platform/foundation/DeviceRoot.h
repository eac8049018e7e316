#pragma once

// The device root: the folder under which every device path ("/User/Library/Preferences/…",
// "/Library/Corvane/…", "/tmp/…") lives, so that nothing touches the machine's real folders.

#include <filesystem>
#include <string_view>

namespace DeviceRoot {

// Makes `root` the device root of this process.
void set(const std::filesystem::path& root);

// The device root of this process (the current folder's "device" until a host sets one).
std::filesystem::path get();

// The host path of a device path. Dot-dot components cannot climb above the root.
std::filesystem::path resolve(std::string_view devicePath);

// The root a program uses without --root: the build tree's "device" folder when the program
// runs from a build tree, else $HOME/.local/share/corvane/device, created (and filled from an
// installed copy, when there is one) on first use.
std::filesystem::path defaultFor(const std::filesystem::path& executable);

}  // namespace DeviceRoot
