#include "platform/foundation/PreferencesFile.h"

#include "platform/foundation/AtomicFile.h"
#include "platform/foundation/DeviceRoot.h"

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <memory>
#include <mutex>
#include <thread>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// How often a waiting writer looks whether another has finished a change.
constexpr auto kProgressCheck = std::chrono::milliseconds(100);

std::string leftAsItIs(const std::filesystem::path& path, std::string_view why) {
    return "the settings file " + path.string() + " " + std::string(why) + "; it was left as it is";
}

bool underDeviceRoot(const std::filesystem::path& path) {
    const auto relative =
        std::filesystem::absolute(path).lexically_normal().lexically_relative(DeviceRoot::get());
    return !relative.empty() && *relative.begin() != "..";
}

// Whether a file may be made or replaced at `path`: not under the device root, or under it
// through real folders only.
bool mayWriteAt(const std::filesystem::path& path) {
    return !underDeviceRoot(path) || DeviceRoot::staysInside(path);
}

// Whether the descriptor `fd` is still the file named `path` (nobody removed or replaced it
// while this process waited for its lock).
bool isStillNamed(int fd, const std::filesystem::path& path) {
    struct stat opened {
    }, named{};
    return ::fstat(fd, &opened) == 0 && ::lstat(path.c_str(), &named) == 0 &&
           opened.st_dev == named.st_dev && opened.st_ino == named.st_ino;
}

// The lock file of the settings file `path`, opened: made when missing, never through a link. A
// device that cannot be written still has an existing lock file opened for reading, so that the
// write itself reports the failure.
int openLockFile(const std::filesystem::path& path, const std::filesystem::path& lock,
                 std::string& error) {
    int fd = ::open(lock.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0644);
    const int refused = errno;
    if (fd < 0 && (refused == EACCES || refused == EROFS)) {
        fd = ::open(lock.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0 && errno == ENOENT) {
            error =
                "cannot write the settings file " + path.string() + ": " + std::strerror(refused);
            return -1;
        }
    }
    if (fd < 0) {
        error = "the settings lock " + lock.string() +
                (errno == ELOOP ? " is a link; remove it to store settings again"
                                : std::string(" cannot be opened: ") + std::strerror(errno));
        return -1;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        error = "the settings lock " + lock.string() +
                " is not a plain file; remove it to store settings again";
        return -1;
    }
    return fd;
}

// What tells one settings file from the next: each finished change replaces the file.
struct FileMark {
    dev_t device = 0;
    ino_t inode = 0;
    timespec changed{};
    bool operator==(const FileMark& other) const {
        return device == other.device && inode == other.inode &&
               changed.tv_sec == other.changed.tv_sec && changed.tv_nsec == other.changed.tv_nsec;
    }
};

FileMark markOf(const std::filesystem::path& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0) return {};
    return {info.st_dev, info.st_ino, info.st_ctim};
}

// A wait for the lock in a thread of its own, blocked in the kernel, which wakes it the moment the
// lock is let go: a writer that polled instead would keep missing it while others took it. The
// thread waits on its own descriptor of the same open lock file, so the lock it takes is the
// caller's; a wait the caller has given up lets the lock go as soon as it has it.
class LockWait {
public:
    explicit LockWait(int fd) : state_(std::make_shared<State>()) {
        const int waiting = ::fcntl(fd, F_DUPFD_CLOEXEC, 0);
        if (waiting < 0) {
            state_->done = true;
            return;
        }
        std::thread([waiting, state = state_] {
            int locked;
            do {
                locked = ::flock(waiting, LOCK_EX);
            } while (locked != 0 && errno == EINTR);
            const std::lock_guard hold(state->mutex);
            state->done = true;
            state->locked = locked == 0;
            if (state->locked && state->abandoned) ::flock(waiting, LOCK_UN);
            ::close(waiting);
            state->finished.notify_all();
        }).detach();
    }
    LockWait(const LockWait&) = delete;
    LockWait& operator=(const LockWait&) = delete;

    // Whether the wait is over by `until`; then locked() tells how it ended.
    bool overBy(std::chrono::steady_clock::time_point until) {
        std::unique_lock hold(state_->mutex);
        return state_->finished.wait_until(hold, until, [&] { return state_->done; });
    }
    bool locked() const {
        const std::lock_guard hold(state_->mutex);
        return state_->locked;
    }
    // Gives the wait up, unless the lock came at the last moment: whether it did. A lock that
    // comes later is let go at once.
    bool abandon() {
        const std::lock_guard hold(state_->mutex);
        state_->abandoned = !state_->done;
        return state_->done && state_->locked;
    }

private:
    struct State {
        std::mutex mutex;
        std::condition_variable finished;
        bool done = false, locked = false, abandoned = false;
    };
    std::shared_ptr<State> state_;
};

// Waits for the lock on `fd`, the lock file of the settings file `path`, for as long as other
// writers keep finishing changes, and `patience` past the last of them.
bool waitForLock(int fd, const std::filesystem::path& path, std::chrono::milliseconds patience) {
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) return true;
    if (errno != EWOULDBLOCK && errno != EINTR) return false;
    LockWait wait(fd);
    FileMark mark = markOf(path);
    auto giveUp = std::chrono::steady_clock::now() + patience;
    for (;;) {
        const auto now = std::chrono::steady_clock::now();
        if (wait.overBy(std::min(giveUp, now + kProgressCheck))) return wait.locked();
        if (const FileMark seen = markOf(path); !(seen == mark)) {
            mark = seen;
            giveUp = std::chrono::steady_clock::now() + patience;
        } else if (std::chrono::steady_clock::now() >= giveUp) {
            return wait.abandon();
        }
    }
}

// The file's dictionary: empty for no file, nothing for a file that is not a dictionary.
std::optional<PlistDictionary> currentDictionary(const std::filesystem::path& path,
                                                 PrefsEditError& error) {
    auto read = readPropertyListFile(path);
    if (!read.value) {
        if (read.error == PlistReadError::NotFound) return PlistDictionary{};
        error = leftAsItIs(path, "is not a readable property list");
        return std::nullopt;
    }
    auto* dictionary = read.value->as<PlistDictionary>();
    if (!dictionary) {
        error = leftAsItIs(path, "does not hold a dictionary");
        return std::nullopt;
    }
    return std::move(*dictionary);
}

// Replaces the file with `dictionary`; the caller holds the lock.
PrefsEditError replaceWithDictionary(const std::filesystem::path& path,
                                     const PlistDictionary& dictionary) {
    if (!mayWriteAt(path)) return leftAsItIs(path, "lies behind a link or a file on the device");
    if (!writePropertyListFile(path, PlistValue(dictionary))) {
        if (errno == EFBIG) {
            return leftAsItIs(path, "would grow past 4 MiB, more than any reader takes");
        }
        return "cannot write the settings file " + path.string() + ": " + std::strerror(errno);
    }
    return {};
}

}  // namespace

std::filesystem::path prefsLockFileOf(const std::filesystem::path& path) {
    std::string name(1, '.');
    name.append(path.filename().string()).append(".lock");
    return path.parent_path() / name;
}

PrefsEditError withPrefsLock(const std::filesystem::path& path,
                             const std::function<PrefsEditError()>& step,
                             std::chrono::milliseconds patience) {
    const auto lock = prefsLockFileOf(path);
    if (!mayWriteAt(lock)) return leftAsItIs(path, "lies behind a link or a file on the device");
    std::error_code ec;
    std::filesystem::create_directories(lock.parent_path(), ec);
    // A lock file removed or replaced while this writer waited for it locks nothing any more: the
    // writer starts again on the file now there.
    for (int attempt = 0; attempt < 8; ++attempt) {
        std::string error;
        const int fd = openLockFile(path, lock, error);
        if (fd < 0) return error;
        if (!waitForLock(fd, path, patience)) {
            ::close(fd);
            char seconds[32];
            std::snprintf(seconds, sizeof seconds, "%g", double(patience.count()) / 1000);
            return "the settings lock " + lock.string() +
                   " is held by another program that has finished no change in " + seconds +
                   " seconds";
        }
        if (!isStillNamed(fd, lock)) {
            ::close(fd);
            continue;
        }
        PrefsEditError outcome = step();
        ::close(fd);  // lets the lock go
        return outcome;
    }
    return "the settings lock " + lock.string() + " keeps being replaced";
}

PrefsEditError editPrefsDictionary(const std::filesystem::path& path,
                                   const std::function<PrefsEdit(PlistDictionary&)>& change) {
    return withPrefsLock(path, [&]() -> PrefsEditError {
        PrefsEditError error;
        auto dictionary = currentDictionary(path, error);
        if (!dictionary) return error;
        if (change(*dictionary) == PrefsEdit::Keep) return {};
        return replaceWithDictionary(path, *dictionary);
    });
}

PrefsEditError setPrefsValue(const std::filesystem::path& path, const std::string& key,
                             PlistValue value) {
    if (key.empty()) return "the key is empty";
    return editPrefsDictionary(path, [&](PlistDictionary& dictionary) {
        dictionary.insert_or_assign(key, std::move(value));
        return PrefsEdit::Write;
    });
}

PrefsEditError deletePrefsValue(const std::filesystem::path& path, const std::string& key) {
    if (key.empty()) return "the key is empty";
    return editPrefsDictionary(path, [&](PlistDictionary& dictionary) {
        return dictionary.erase(key) == 0 ? PrefsEdit::Keep : PrefsEdit::Write;
    });
}

PrefsEditError writePrefsDictionary(const std::filesystem::path& path, PlistDictionary dictionary) {
    return withPrefsLock(path, [&] { return replaceWithDictionary(path, dictionary); });
}

PrefsEditError copyPrefsFile(const std::filesystem::path& source,
                             const std::filesystem::path& path) {
    const int in = ::open(source.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    struct stat info {};
    if (in < 0 || ::fstat(in, &info) != 0 || !S_ISREG(info.st_mode) ||
        static_cast<std::uintmax_t>(info.st_size) > kMaxCopiedPrefsBytes) {
        const std::string why = in < 0                   ? std::strerror(errno)
                                : !S_ISREG(info.st_mode) ? "not a plain file"
                                                         : "larger than 64 MiB";
        if (in >= 0) ::close(in);
        return "cannot copy " + source.string() + ": " + why;
    }
    auto error = withPrefsLock(path, [&]() -> PrefsEditError {
        if (!mayWriteAt(path))
            return leftAsItIs(path, "lies behind a link or a file on the device");
        const bool copied = replaceFileAtomically(path, [&](int out) {
            char buffer[65536];
            std::uintmax_t total = 0;
            for (;;) {
                const ssize_t n = ::read(in, buffer, sizeof buffer);
                if (n < 0 && errno == EINTR) continue;
                if (n < 0) return false;
                if (n == 0) return true;
                total += static_cast<std::uintmax_t>(n);
                if (total > kMaxCopiedPrefsBytes) {
                    errno = EFBIG;
                    return false;
                }
                if (!writeAllBytes(out, std::string_view(buffer, static_cast<std::size_t>(n)))) {
                    return false;
                }
            }
        });
        if (!copied) return "cannot copy " + source.string() + ": " + std::strerror(errno);
        return {};
    });
    ::close(in);
    return error;
}

PrefsEditError removePrefsFile(const std::filesystem::path& path) {
    return withPrefsLock(path, [&]() -> PrefsEditError {
        if (!mayWriteAt(path))
            return leftAsItIs(path, "lies behind a link or a file on the device");
        if (::unlink(path.c_str()) != 0 && errno != ENOENT) {
            return "cannot remove the settings file " + path.string() + ": " + std::strerror(errno);
        }
        return {};
    });
}

PrefsEditError movePrefsFileAside(const std::filesystem::path& path,
                                  std::filesystem::path& keptAs) {
    return withPrefsLock(path, [&]() -> PrefsEditError {
        if (!mayWriteAt(path))
            return leftAsItIs(path, "lies behind a link or a file on the device");
        struct stat info {};
        if (::lstat(path.c_str(), &info) != 0) return {};  // nothing to keep
        for (int n = 1; n < 1000; ++n) {
            std::filesystem::path aside = path;
            aside += n == 1 ? ".old" : ".old" + std::to_string(n);
            if (::renameat2(AT_FDCWD, path.c_str(), AT_FDCWD, aside.c_str(), RENAME_NOREPLACE) ==
                0) {
                keptAs = aside;
                return {};
            }
            if (errno != EEXIST) {
                return "cannot move the settings file " + path.string() +
                       " aside: " + std::strerror(errno);
            }
        }
        return "cannot move the settings file " + path.string() +
               " aside: a thousand older copies are in the way";
    });
}
