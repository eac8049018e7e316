#include "platform/foundation/DeviceSpringBoard.h"

#include "platform/foundation/AtomicFile.h"
#include "platform/foundation/BoundedFileRead.h"
#include "platform/foundation/DeviceRoot.h"

#include <cerrno>
#include <charconv>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

int claimFd = -1;  // the lock file, held open (and locked) while this process is the SpringBoard

// A lock held by fcntl names its holder to whoever asks (flock and open-file locks do not).
struct flock wholeFile(short type) {
    struct flock lock {};
    lock.l_type = type;
    lock.l_whence = SEEK_SET;
    return lock;
}

// A regular file with one name: a hard link to another device's lock file would name that
// device's SpringBoard as this one's.
bool isOwnLockFile(int fd) {
    struct stat info {};
    return ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_nlink == 1;
}

// Opens the lock file for holding: made exclusively when missing; anything else planted in its
// place (a link, a pipe, a folder, a second name of some file) is replaced by a file of our own.
int openLockForClaim(const std::filesystem::path& lock, std::string& error) {
    for (int attempt = 0; attempt < 4; ++attempt) {
        int fd = ::open(lock.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
        if (fd >= 0) return fd;
        if (errno != EEXIST) break;
        fd = ::open(lock.c_str(), O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd >= 0 && isOwnLockFile(fd)) return fd;
        if (fd >= 0) ::close(fd);
        std::error_code ec;
        std::filesystem::remove_all(lock, ec);
        if (ec) {
            error = lock.string() + " is taken and cannot be removed: " + ec.message();
            return -1;
        }
    }
    error = "cannot make " + lock.string() + ": " + std::strerror(errno);
    return -1;
}

void writePidFile(const std::filesystem::path& file) {
    const std::string text = std::to_string(::getpid()) + "\n";
    replaceFileAtomically(file, [&](int fd) { return writeAllBytes(fd, text); });
}

// The process id in the pid file; 0 when it holds none or is not a plain file.
pid_t pidInFile(const std::filesystem::path& file) {
    const auto read = readBoundedFile(file, 64, FileLinks::Refuse);
    if (!read.bytes) return 0;
    pid_t pid = 0;
    const auto& text = *read.bytes;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), pid);
    return error == std::errc{} && pid > 0 ? pid : 0;
}

}  // namespace

namespace DeviceSpringBoard {

std::optional<std::string> claim() {
    release();
    const auto lock = DeviceRoot::resolve(kSpringBoardLockFile);
    const auto pidFile = DeviceRoot::resolve(kSpringBoardPidFile);
    if (!DeviceRoot::staysInside(lock)) {
        return "SpringBoard: " + lock.parent_path().string() +
               " lies behind a link; the restart button cannot find this SpringBoard";
    }
    std::error_code ec;
    std::filesystem::create_directories(lock.parent_path(), ec);
    std::string error;
    const int fd = openLockForClaim(lock, error);
    if (fd < 0)
        return "SpringBoard: " + error + "; the restart button cannot find this SpringBoard";
    struct flock held = wholeFile(F_WRLCK);
    if (::fcntl(fd, F_SETLK, &held) != 0) {
        struct flock holder = wholeFile(F_WRLCK);
        const bool asked = ::fcntl(fd, F_GETLK, &holder) == 0 && holder.l_type != F_UNLCK;
        ::close(fd);
        return "SpringBoard: another SpringBoard" +
               (asked ? " (process " + std::to_string(holder.l_pid) + ")" : std::string()) +
               " runs on this device; the restart button ends that one";
    }
    claimFd = fd;
    writePidFile(pidFile);
    return std::nullopt;
}

void release() {
    if (claimFd < 0) return;
    const auto pidFile = DeviceRoot::resolve(kSpringBoardPidFile);
    if (pidInFile(pidFile) == ::getpid() && DeviceRoot::staysInside(pidFile))
        ::unlink(pidFile.c_str());
    ::close(claimFd);  // lets the lock go
    claimFd = -1;
}

std::variant<pid_t, std::string> running() {
    // Closing any descriptor of the lock file would let this process's own lock go, and a
    // process never sees its own lock as held: a SpringBoard does not ask about itself.
    if (claimFd >= 0) return std::string("this process is the device's SpringBoard");
    const auto lock = DeviceRoot::resolve(kSpringBoardLockFile);
    if (!DeviceRoot::staysInside(lock)) return lock.parent_path().string() + " lies behind a link";
    const int fd = ::open(lock.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT) return std::string("no SpringBoard has run on this device");
        return lock.string() + (errno == ELOOP ? " is a link" : " cannot be opened");
    }
    std::string why;
    struct flock holder = wholeFile(F_WRLCK);
    if (!isOwnLockFile(fd)) {
        why = lock.string() + " is not a plain file of its own";
    } else if (::fcntl(fd, F_GETLK, &holder) != 0 || holder.l_type == F_UNLCK) {
        why = "no SpringBoard holds " + lock.string();
    } else if (holder.l_pid <= 0) {
        why = "the SpringBoard holding " + lock.string() + " is out of this process's sight";
    }
    ::close(fd);
    if (!why.empty()) return why;
    return holder.l_pid;
}

}  // namespace DeviceSpringBoard
