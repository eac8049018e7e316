#include "platform/foundation/NotifyTransport.h"

#include "platform/foundation/DeviceRoot.h"
#include "platform/foundation/NSLog.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <mutex>

namespace {

constexpr std::string_view kMarksSuffix = ".pending";
// A mark's file is named by a hash of the name; two names with the same hash take the next
// numbers, up to this many.
constexpr std::uint64_t kMarkProbes = 16;

// A pipe itself, not a link to one: a link in the folder could lead to a pipe of another root or
// of the machine.
bool isPipeOfProcess(const std::filesystem::directory_entry& entry) {
    std::error_code ec;
    const auto name = entry.path().filename().string();
    return entry.symlink_status(ec).type() == std::filesystem::file_type::fifo && !name.empty() &&
           name.find_first_not_of("0123456789") == std::string::npos;
}

std::filesystem::path marksOf(const std::filesystem::path& pipe) {
    return pipe.string() + std::string(kMarksSuffix);
}

// Whether the transport may use `folder`: one under the device root is reached through real
// folders only, never through a link that could lead out of the root, where pipes would be made
// and removed.
bool isUsableFolder(const std::filesystem::path& folder) {
    const auto relative =
        std::filesystem::absolute(folder).lexically_normal().lexically_relative(DeviceRoot::get());
    const bool underRoot = !relative.empty() && *relative.begin() != "..";
    return !underRoot || DeviceRoot::staysInside(folder / "pipe");
}

// Pipes and marks folders of this process, removed when it exits: the transport objects
// themselves live as long as the process and are never destroyed.
std::mutex ownFilesMutex;
std::vector<std::string>* ownFiles = nullptr;

void removeOwnFiles() {
    std::lock_guard lock(ownFilesMutex);
    for (const auto& file : *ownFiles) {
        std::error_code ec;
        std::filesystem::remove_all(file, ec);
    }
}

void removeAtExit(const std::filesystem::path& file) {
    std::lock_guard lock(ownFilesMutex);
    if (!ownFiles) {
        ownFiles = new std::vector<std::string>;
        std::atexit(removeOwnFiles);
    }
    ownFiles->push_back(file.string());
}

// Clears `place` for a file of this process. A pipe there was left by an earlier process of the
// same id; anything else was put there by someone, and is removed when it belongs to this user.
// False, with a log line, when the place stays taken.
bool clearPlace(const std::filesystem::path& place) {
    struct stat info {};
    if (::lstat(place.c_str(), &info) != 0) return errno == ENOENT;
    if (S_ISFIFO(info.st_mode)) return ::unlink(place.c_str()) == 0 || errno == ENOENT;
    if (info.st_uid != ::geteuid()) {
        NSLog("notify: " + place.string() +
              " is taken by something of another user; this process hears no other process");
        return false;
    }
    std::error_code ec;
    std::filesystem::remove_all(place, ec);
    if (ec) {
        NSLog("notify: " + place.string() + " is taken and cannot be removed (" + ec.message() +
              "); this process hears no other process");
        return false;
    }
    NSLog("notify: " + place.string() + " was taken by something planted there; it was removed");
    return true;
}

// FNV-1a: a mark's file name must not depend on anything but the name.
std::uint64_t hashOf(std::string_view name) {
    std::uint64_t hash = 0xcbf29ce484222325u;
    for (const unsigned char c : name) hash = (hash ^ c) * 0x100000001b3u;
    return hash;
}

// The name a mark holds; nothing when the mark has gone or holds no name.
std::optional<std::string> readMark(int folder, const char* mark) {
    const int fd = ::openat(folder, mark, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    char buffer[NotifyTransport::kMaxNameLength + 1];
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    ::close(fd);
    if (n <= 0) return std::nullopt;
    return std::string(buffer, static_cast<std::size_t>(n));
}

// A new file in `folder` holding `name`, for linking in place as a mark; its name in `temporary`.
bool writeTemporaryMark(int folder, std::string_view name, std::string& temporary) {
    static unsigned counter = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary = ".new." + std::to_string(::getpid()) + "." + std::to_string(++counter);
        const int fd = ::openat(folder, temporary.c_str(),
                                O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd < 0) {
            if (errno == EEXIST) continue;
            return false;
        }
        const bool written =
            ::write(fd, name.data(), name.size()) == static_cast<ssize_t>(name.size());
        ::close(fd);
        if (written) return true;
        ::unlinkat(folder, temporary.c_str(), 0);
        return false;
    }
    return false;
}

// Leaves a mark of `name` in the marks folder `marks`: a file named by the name's hash, linked
// into place whole so that the reader never sees half of one. A mark of the same name already
// there is enough. False when no mark could be left.
bool leaveMark(const std::filesystem::path& marks, std::string_view name) {
    const int folder = ::open(marks.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (folder < 0) return false;
    std::string temporary;
    bool marked = false;
    if (writeTemporaryMark(folder, name, temporary)) {
        const std::uint64_t hash = hashOf(name);
        // A mark taken by the reader between the link and the look is tried again.
        for (std::uint64_t probe = 0, tries = 0; probe < kMarkProbes && tries < 4 * kMarkProbes;
             ++tries) {
            char mark[17];
            std::snprintf(mark, sizeof mark, "%016llx",
                          static_cast<unsigned long long>(hash + probe));
            if (::linkat(folder, temporary.c_str(), folder, mark, 0) == 0) {
                marked = true;
                break;
            }
            if (errno != EEXIST) break;
            const auto existing = readMark(folder, mark);
            if (existing == name) {
                marked = true;
                break;
            }
            if (existing) ++probe;  // another name with the same hash
        }
        ::unlinkat(folder, temporary.c_str(), 0);
    }
    ::close(folder);
    return marked;
}

// Sends `line` into the pipe `pipe` of another process; a full pipe gets a mark of `name`
// instead, and a pipe with no reader is removed with its marks.
void sendTo(const std::filesystem::path& pipe, std::string_view name, const std::string& line) {
    const int fd = ::open(pipe.c_str(), O_WRONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        // No reader: the process that made this pipe has ended.
        if (errno == ENXIO) {
            ::unlink(pipe.c_str());
            std::error_code ec;
            std::filesystem::remove_all(marksOf(pipe), ec);
        }
        return;
    }
    // One write of at most a pipe buffer's worth is atomic: lines never interleave, and a write
    // either goes in whole or finds the pipe full.
    if (::write(fd, line.data(), line.size()) < 0 && errno == EAGAIN &&
        leaveMark(marksOf(pipe), name)) {
        // The reader may have emptied the pipe since the write failed, and looked for marks
        // before this one was there: an empty line wakes it again. A pipe still full wakes it
        // anyway.
        [[maybe_unused]] const ssize_t woken = ::write(fd, "\n", 1);
    }
    ::close(fd);
}

}  // namespace

std::optional<std::string> NotifyTransport::nameProblem(std::string_view name) {
    if (name.empty() || name.size() > kMaxNameLength || name.find('\n') != std::string_view::npos ||
        name.find('\0') != std::string_view::npos) {
        return "a notification name is one line of text of at most " +
               std::to_string(kMaxNameLength) + " bytes, without NUL";
    }
    return std::nullopt;
}

NotifyTransport::NotifyTransport(std::filesystem::path folder) : folder_(std::move(folder)) {}

NotifyTransport::~NotifyTransport() {
    if (readFd_ >= 0) ::close(readFd_);
    if (keepOpenFd_ >= 0) ::close(keepOpenFd_);
    std::error_code ec;
    if (!ownPipe_.empty()) std::filesystem::remove(ownPipe_, ec);
    if (!ownMarks_.empty()) std::filesystem::remove_all(ownMarks_, ec);
}

int NotifyTransport::listen() {
    if (readFd_ >= 0) return readFd_;
    if (!isUsableFolder(folder_)) return -1;
    std::error_code ec;
    std::filesystem::create_directories(folder_, ec);
    const auto pipe = folder_ / std::to_string(::getpid());
    if (!clearPlace(pipe)) return -1;
    if (::mkfifo(pipe.c_str(), 0600) != 0) {
        NSLog("notify: cannot make the pipe " + pipe.string() + ": " + std::strerror(errno) +
              "; this process hears no other process");
        return -1;
    }
    ownPipe_ = pipe;
    removeAtExit(ownPipe_);
    // Without its marks folder the process still hears every post its pipe has room for.
    const auto marks = marksOf(pipe);
    if (clearPlace(marks) && ::mkdir(marks.c_str(), 0700) == 0) {
        ownMarks_ = marks;
        removeAtExit(ownMarks_);
    }
    readFd_ = ::open(ownPipe_.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    keepOpenFd_ = ::open(ownPipe_.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    return readFd_;
}

std::vector<std::string> NotifyTransport::receive() {
    std::vector<std::string> names;
    if (readFd_ < 0) return names;
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(readFd_, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        pending_.append(buffer, static_cast<std::size_t>(n));
    }
    std::size_t start = 0;
    for (std::size_t end; (end = pending_.find('\n', start)) != std::string::npos;
         start = end + 1) {
        if (end > start) names.emplace_back(pending_, start, end - start);  // empty: a wake-up
    }
    pending_.erase(0, start);
    // Marks are looked for after the pipe has been emptied: a mark left since makes the pipe
    // readable again.
    receiveMarks(names);
    return names;
}

void NotifyTransport::receiveMarks(std::vector<std::string>& names) {
    if (ownMarks_.empty()) return;
    const int folder = ::open(ownMarks_.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (folder < 0) return;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(ownMarks_, ec)) {
        const std::string mark = entry.path().filename().string();
        if (mark.starts_with('.')) continue;  // a poster's mark not yet in place
        auto name = readMark(folder, mark.c_str());
        // Taken away before the name is delivered: a post from now on leaves a new mark.
        ::unlinkat(folder, mark.c_str(), 0);
        if (name && !nameProblem(*name)) names.push_back(std::move(*name));
    }
    ::close(folder);
}

bool NotifyTransport::post(std::string_view name) {
    if (nameProblem(name) || !isUsableFolder(folder_)) return false;
    const std::string line = std::string(name) + '\n';
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(folder_, ec)) {
        if (!isPipeOfProcess(entry) || entry.path() == ownPipe_) continue;
        sendTo(entry.path(), name, line);
    }
    return true;
}
