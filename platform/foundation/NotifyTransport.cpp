#include "platform/foundation/NotifyTransport.h"

#include "platform/foundation/DeviceRoot.h"

#include <cerrno>
#include <cstdlib>
#include <mutex>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool isValidName(std::string_view name) {
    return !name.empty() && name.size() <= NotifyTransport::kMaxNameLength &&
           name.find('\n') == std::string_view::npos && name.find('\0') == std::string_view::npos;
}

// A pipe itself, not a link to one: a link in the folder could lead to a pipe of another root or
// of the machine.
bool isPipeOfProcess(const std::filesystem::directory_entry& entry) {
    std::error_code ec;
    const auto name = entry.path().filename().string();
    return entry.symlink_status(ec).type() == std::filesystem::file_type::fifo && !name.empty() &&
           name.find_first_not_of("0123456789") == std::string::npos;
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

// Pipes of this process, removed when it exits: the transport objects themselves live as long
// as the process and are never destroyed.
std::mutex ownPipesMutex;
std::vector<std::string>* ownPipes = nullptr;

void removeOwnPipes() {
    std::lock_guard lock(ownPipesMutex);
    for (const auto& pipe : *ownPipes) ::unlink(pipe.c_str());
}

void removeAtExit(const std::filesystem::path& pipe) {
    std::lock_guard lock(ownPipesMutex);
    if (!ownPipes) {
        ownPipes = new std::vector<std::string>;
        std::atexit(removeOwnPipes);
    }
    ownPipes->push_back(pipe.string());
}

}  // namespace

NotifyTransport::NotifyTransport(std::filesystem::path folder) : folder_(std::move(folder)) {}

NotifyTransport::~NotifyTransport() {
    if (readFd_ >= 0) ::close(readFd_);
    if (keepOpenFd_ >= 0) ::close(keepOpenFd_);
    if (!ownPipe_.empty()) ::unlink(ownPipe_.c_str());
}

int NotifyTransport::listen() {
    if (readFd_ >= 0) return readFd_;
    if (!isUsableFolder(folder_)) return -1;
    std::error_code ec;
    std::filesystem::create_directories(folder_, ec);
    ownPipe_ = folder_ / std::to_string(::getpid());
    ::unlink(ownPipe_.c_str());  // left by an earlier process of the same id
    if (::mkfifo(ownPipe_.c_str(), 0600) != 0) {
        ownPipe_.clear();
        return -1;
    }
    removeAtExit(ownPipe_);
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
    for (std::size_t end; (end = pending_.find('\n', start)) != std::string::npos; start = end + 1) {
        names.emplace_back(pending_, start, end - start);
    }
    pending_.erase(0, start);
    return names;
}

bool NotifyTransport::post(std::string_view name) {
    if (!isValidName(name) || !isUsableFolder(folder_)) return false;
    const std::string line = std::string(name) + '\n';
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(folder_, ec)) {
        if (!isPipeOfProcess(entry) || entry.path() == ownPipe_) continue;
        const int fd = ::open(entry.path().c_str(), O_WRONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
        if (fd < 0) {
            // No reader: the process that made this pipe has ended.
            if (errno == ENXIO) ::unlink(entry.path().c_str());
            continue;
        }
        // One write of at most a pipe buffer's worth is atomic: lines never interleave. A full
        // pipe (a reader that stopped reading) drops the post for that reader only.
        [[maybe_unused]] const ssize_t written = ::write(fd, line.data(), line.size());
        ::close(fd);
    }
    return true;
}
