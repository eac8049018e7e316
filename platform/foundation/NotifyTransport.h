#pragma once

// Carries Darwin notifications between processes of one device root. Every listening process
// owns a named pipe "<pid>" in the transport folder (ROOT/var/run/notify) and a folder of pending
// marks "<pid>.pending" beside it. A post writes the name, one line, into every other process's
// pipe. When a pipe is full (its process has not read for a while) the post leaves a mark
// instead, one file per name, and the full pipe itself wakes the reader, which takes the marks
// after the lines: several posts of one name may then be delivered once, but after the last post
// every listener hears the name at least once. A pipe left by a process that died has no reader,
// and the next post removes it with its marks. Under the device root, a transport folder reached
// through a link (which could lead out of the root) is not used at all.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class NotifyTransport {
public:
    // Longest name that crosses processes; a line this long is still one atomic pipe write.
    static constexpr std::size_t kMaxNameLength = 1000;

    // Why `name` cannot cross processes (empty, too long, a line break or a NUL in it), in words
    // for the user; nothing when it can.
    static std::optional<std::string> nameProblem(std::string_view name);

    explicit NotifyTransport(std::filesystem::path folder);
    ~NotifyTransport();
    NotifyTransport(const NotifyTransport&) = delete;
    NotifyTransport& operator=(const NotifyTransport&) = delete;

    const std::filesystem::path& folder() const { return folder_; }

    // Creates this process's pipe and marks folder, if not yet done; returns the pipe's
    // descriptor for reading, or -1 when the pipe cannot be made or the folder lies behind a
    // link. Something else in the pipe's place is removed when it is this user's to remove, and
    // is logged either way.
    int listen();
    bool isListening() const { return readFd_ >= 0; }
    // The descriptor to watch for arrivals, or -1 before listen.
    int fd() const { return readFd_; }

    // The names that have arrived since the last call: the pipe's lines in arrival order, then
    // the names marked while the pipe was full.
    std::vector<std::string> receive();

    // Sends `name` to every other listening process of the folder. A name that cannot cross
    // (see nameProblem) is not sent, nor is any through a folder behind a link; returns false
    // then.
    bool post(std::string_view name);

private:
    void receiveMarks(std::vector<std::string>& names);

    std::filesystem::path folder_;
    std::filesystem::path ownPipe_;
    std::filesystem::path ownMarks_;
    int readFd_ = -1;
    int keepOpenFd_ = -1;  // our own writer, so the pipe never reports end of file
    std::string pending_;  // a partial line read before the rest arrived
};
