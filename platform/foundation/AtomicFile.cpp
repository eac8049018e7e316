#include "platform/foundation/AtomicFile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

// A write in progress keeps its temporary file ".NAME.XXXXXX.writing" locked (flock) from its
// creation until it has been renamed into place. The kernel lets a lock go when its process ends,
// however it ends, so a temporary file that can be locked was left by a writer that died mid-way,
// and the next write beside it removes it: kills never pile files up in the folder.
constexpr std::string_view kTemporarySuffix = ".writing";
constexpr std::size_t kTemporaryRandomLength = 6;
constexpr int kTemporaryAttempts = 8;

// ".NAME.": what the temporary files of `path` begin with.
std::string temporaryPrefix(const std::filesystem::path& path) {
    std::string prefix(1, '.');
    prefix.append(path.filename().string()).push_back('.');
    return prefix;
}

std::string temporaryPattern(const std::filesystem::path& path) {
    std::string name = temporaryPrefix(path);
    name.append(kTemporaryRandomLength, 'X').append(kTemporarySuffix);
    return (path.parent_path() / name).string();
}

bool isTemporaryOf(std::string_view name, const std::filesystem::path& path) {
    const std::string prefix = temporaryPrefix(path);
    return name.size() == prefix.size() + kTemporaryRandomLength + kTemporarySuffix.size() &&
           name.starts_with(prefix) && name.ends_with(kTemporarySuffix);
}

// Whether the descriptor `fd` is the file named `name` now.
bool isNamed(int fd, const char* name) {
    struct stat opened {
    }, named{};
    return ::fstat(fd, &opened) == 0 && ::lstat(name, &named) == 0 &&
           opened.st_dev == named.st_dev && opened.st_ino == named.st_ino;
}

// Removes the temporary files of `path` that no live writer holds.
void removeAbandonedTemporaries(const std::filesystem::path& path) {
    std::error_code ec;
    const auto folder = path.has_parent_path() ? path.parent_path() : std::filesystem::path(".");
    for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
        if (!isTemporaryOf(entry.path().filename().string(), path)) continue;
        const int fd = ::open(entry.path().c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) continue;
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && isNamed(fd, entry.path().c_str())) {
            ::unlink(entry.path().c_str());
        }
        ::close(fd);
    }
}

// A new temporary file beside `path`, locked by this writer, its name in `name`; -1 when none can
// be made. mkostemps creates the file exclusively, so a link planted under the name makes it fail
// rather than be followed. Another writer may take a file for abandoned between its creation and
// its lock, so a file whose name has gone by the time it is locked is given up for a new one.
int createLockedTemporary(const std::filesystem::path& path, std::string& name) {
    for (int attempt = 0; attempt < kTemporaryAttempts; ++attempt) {
        name = temporaryPattern(path);
        const int fd =
            ::mkostemps(name.data(), static_cast<int>(kTemporarySuffix.size()), O_CLOEXEC);
        if (fd < 0) return -1;
        if (::flock(fd, LOCK_EX) == 0 && isNamed(fd, name.c_str())) return fd;
        ::close(fd);
    }
    errno = EEXIST;
    return -1;
}

}  // namespace

bool writeAllBytes(int fd, std::string_view bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        if (n == 0) {
            errno = EIO;
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

bool replaceFileAtomically(const std::filesystem::path& path,
                           const std::function<bool(int fd)>& fill, mode_t mode) {
    std::error_code ec;
    if (path.has_parent_path()) std::filesystem::create_directories(path.parent_path(), ec);
    removeAbandonedTemporaries(path);

    std::string temporary;
    const int fd = createLockedTemporary(path, temporary);
    if (fd < 0) return false;
    ::fchmod(fd, mode);
    // The lock is held until the file has its final name, so that no other writer takes it for
    // an abandoned one.
    const bool placed =
        fill(fd) && ::fsync(fd) == 0 && std::rename(temporary.c_str(), path.c_str()) == 0;
    const int failure = errno;
    if (!placed) ::unlink(temporary.c_str());
    ::close(fd);
    errno = failure;
    return placed;
}
