#include "platform/messageui/MailFolder.h"

#include "platform/foundation/DeviceRoot.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <utility>

namespace {

// Tries at most this many names before giving up on a folder full of our names.
constexpr int kNameAttempts = 64;

// An open file descriptor, closed when it goes.
class Descriptor {
public:
    explicit Descriptor(int fd = -1) : fd_(fd) {}
    Descriptor(Descriptor&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
    Descriptor& operator=(Descriptor&& other) noexcept {
        std::swap(fd_, other.fd_);
        return *this;
    }
    ~Descriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    int get() const { return fd_; }
    bool isOpen() const { return fd_ >= 0; }
    // Closes now, answering whether the close succeeded (a late write error shows here).
    bool close() {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }

private:
    int fd_;
};

std::string failure(const std::filesystem::path& what, int error) {
    const char* reason =
        error == ELOOP || error == ENOTDIR ? "not a folder of the device" : std::strerror(error);
    return what.string() + ": " + reason;
}

// Opens the folder `name` in `parent`, making it first when it is missing; a link is refused.
Descriptor openFolder(const Descriptor& parent, const std::filesystem::path& name) {
    if (::mkdirat(parent.get(), name.c_str(), 0700) != 0 && errno != EEXIST) return Descriptor();
    return Descriptor(
        ::openat(parent.get(), name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
}

// The device folder, opened component by component from the root; an error names the first
// component that failed. The root itself is the host's choice, so it is made and entered as it
// is, links and all.
Descriptor openDeviceFolder(std::string_view deviceFolder, std::string& error) {
    const std::filesystem::path root = DeviceRoot::get();
    std::error_code ignored;
    std::filesystem::create_directories(root, ignored);
    Descriptor folder(::open(root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!folder.isOpen()) error = failure(root, errno);
    std::filesystem::path reached;
    const auto relative = DeviceRoot::resolve(deviceFolder).lexically_relative(root);
    for (const auto& name : relative) {
        if (!folder.isOpen() || name == ".") break;
        reached /= name;
        folder = openFolder(folder, name);
        if (!folder.isOpen()) error = failure(reached, errno);
    }
    return folder;
}

bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

std::string fileName() {
    static std::atomic<unsigned long> serial{0};
    return std::to_string(std::time(nullptr)) + "-" + std::to_string(::getpid()) + "-" +
           std::to_string(++serial) + ".eml";
}

// A new file, created exclusively under a fresh name; its name comes back in `name`.
Descriptor createExclusively(const Descriptor& folder, std::string prefix, std::string& name) {
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        name = prefix + fileName();
        const int fd = ::openat(folder.get(), name.c_str(),
                                O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd >= 0 || errno != EEXIST) return Descriptor(fd);
    }
    errno = EEXIST;
    return Descriptor();
}

// Gives the written file `partial` a final name of its own; a link never replaces what is there.
bool publish(const Descriptor& folder, const std::string& partial, std::string& name) {
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        name = fileName();
        if (::linkat(folder.get(), partial.c_str(), folder.get(), name.c_str(), 0) == 0)
            return true;
        if (errno != EEXIST) return false;
    }
    errno = EEXIST;
    return false;
}

// Writes `bytes` to a hidden partial file, then links it under its final name, so that whoever
// reads the folder never sees half a mail.
std::string storeIn(const Descriptor& folder, std::string_view bytes, std::string& name) {
    std::string partial;
    Descriptor file = createExclusively(folder, ".partial-", partial);
    if (!file.isOpen()) return std::strerror(errno);
    const bool written = writeAll(file.get(), bytes) && ::fsync(file.get()) == 0;
    const bool kept = file.close() && written && publish(folder, partial, name);
    const int error = errno;
    ::unlinkat(folder.get(), partial.c_str(), 0);
    return kept ? std::string() : std::strerror(error);
}

}  // namespace

MailFileResult storeMailFile(std::string_view deviceFolder, std::string_view bytes) {
    std::string error;
    const Descriptor folder = openDeviceFolder(deviceFolder, error);
    if (!folder.isOpen()) return {{}, error};
    std::string name;
    error = storeIn(folder, bytes, name);
    if (!error.empty()) return {{}, std::string(deviceFolder) + ": " + error};
    return {DeviceRoot::resolve(deviceFolder) / name, {}};
}
