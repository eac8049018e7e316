#pragma once

// Files replaced whole: the new bytes go to a temporary file ".NAME.XXXXXX.writing" beside the
// file, made exclusively (never through a link planted under that name), flushed to the disk and
// renamed over the file. A reader sees the old file or the new one, never half of either; a link
// or a hard link in the file's place is replaced, never written through.

#include <filesystem>
#include <functional>
#include <string_view>

#include <sys/types.h>

// Replaces the file at `path` with what `fill` writes into the descriptor it is given (a new,
// empty, regular file; `fill` answers false when it failed). Missing parent folders are made.
// The temporary files of writers that died mid-write are removed by the next write. Returns
// false, with errno set, when the file could not be replaced; the old file is then untouched.
bool replaceFileAtomically(const std::filesystem::path& path,
                           const std::function<bool(int fd)>& fill, mode_t mode = 0644);

// Writes all of `bytes` to `fd`, going on after short writes and interruptions; false, with
// errno set, on a failure.
bool writeAllBytes(int fd, std::string_view bytes);
