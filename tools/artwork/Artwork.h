#pragma once

// Every picture the device needs in /Library/Corvane, by file name.

#include <filesystem>
#include <string>
#include <vector>

// The file names of all pictures: the badges "CRVBadge<design><direction>.png", then
// "vault.png".
std::vector<std::string> artworkFileNames();

// Draws every picture into `folder`, creating it if needed. Returns an empty string on
// success, or a one-line reason naming the file or folder that could not be written.
std::string writeArtwork(const std::filesystem::path& folder);
