#pragma once

// Reading a file that anyone with access to the device folder may have replaced: by a pipe that
// no one writes (which would hold a plain read for ever), by a link to /dev/zero (which would
// read until memory runs out), or by a link out of the device root. The reader opens without
// waiting, takes regular files only, and stops past a limit.

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

// Why a file was not read.
enum class FileReadProblem {
    None,
    NotFound,    // nothing at the path (or a link to nothing)
    Link,        // a link, where links are refused
    NotRegular,  // a folder, a pipe, a device or a socket
    TooLarge,    // more bytes than the limit
    Unreadable,  // there, but the system refused to read it
};

// Whether a link at the path itself is followed.
enum class FileLinks { Follow, Refuse };

struct BoundedFileBytes {
    std::optional<std::string> bytes;
    FileReadProblem problem = FileReadProblem::None;
};

// The bytes of the regular file at `path`, when there are at most `maxBytes` of them.
BoundedFileBytes readBoundedFile(const std::filesystem::path& path, std::size_t maxBytes,
                                 FileLinks links);

// A few words a sentence can end with: "is a link", "is not a plain file", ...
std::string_view describeFileReadProblem(FileReadProblem problem);
