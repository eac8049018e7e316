#pragma once

// Carries Darwin notifications between processes of one device root. Every listening process
// owns a named pipe "<pid>" in the transport folder (ROOT/var/run/notify); a post writes the
// name, one line, into every other process's pipe. A pipe left by a process that died has no
// reader, and the next post removes it. Under the device root, a transport folder reached through
// a link (which could lead out of the root) is not used at all.

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

class NotifyTransport {
public:
    // Longest name that crosses processes; a line this long is still one atomic pipe write.
    static constexpr std::size_t kMaxNameLength = 1000;

    explicit NotifyTransport(std::filesystem::path folder);
    ~NotifyTransport();
    NotifyTransport(const NotifyTransport&) = delete;
    NotifyTransport& operator=(const NotifyTransport&) = delete;

    const std::filesystem::path& folder() const { return folder_; }

    // Creates this process's pipe, if not yet done; returns its descriptor for reading, or -1
    // when the pipe cannot be made or the folder lies behind a link.
    int listen();
    bool isListening() const { return readFd_ >= 0; }
    // The descriptor to watch for arrivals, or -1 before listen.
    int fd() const { return readFd_; }

    // The names that have arrived since the last call, in arrival order.
    std::vector<std::string> receive();

    // Sends `name` to every other listening process of the folder. A name that is empty, too
    // long, or holds a line break or a NUL is not sent, nor is any through a folder behind a
    // link; returns false then.
    bool post(std::string_view name);

private:
    std::filesystem::path folder_;
    std::filesystem::path ownPipe_;
    int readFd_ = -1;
    int keepOpenFd_ = -1;  // our own writer, so the pipe never reports end of file
    std::string pending_;  // a partial line read before the rest arrived
};
