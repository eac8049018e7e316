#pragma once

// The device root: the folder under which every device path ("/User/Library/Preferences/…",
// "/Library/Corvane/…", "/tmp/…") lives, so that nothing touches the machine's real folders.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace DeviceRoot {

// Makes `root` the device root of this process.
void set(const std::filesystem::path& root);

// The device root of this process (the current folder's "device" until a host sets one).
std::filesystem::path get();

// The host path of a device path. Dot-dot components cannot climb above the root.
std::filesystem::path resolve(std::string_view devicePath);

// Whether writing at host path `path` stays inside the device root: every folder that exists on
// the way from the root down to it is a real folder, not a link (which could lead out of the
// root) nor a file. The file itself may be a link: an atomic write replaces the link, never what
// it points to. False for a path that is not under the root at all.
bool staysInside(const std::filesystem::path& path);

// The root a program uses without --root: the build tree's "device" folder when the program
// runs from a build tree, else $HOME/.local/share/corvane/device, created (and filled from an
// installed copy, when there is one) on first use.
std::filesystem::path defaultFor(const std::filesystem::path& executable);

// Makes the root a program's --root names (`given`) the device root, or, when there was no
// --root, the default for the running program. A root given by hand that is empty (an unset shell
// variable, most likely) or not a folder is a mistake, not a device to make: then nothing is set
// and the answer is the line to tell the user.
std::optional<std::string> setFromOption(const std::optional<std::string>& given);

}  // namespace DeviceRoot
