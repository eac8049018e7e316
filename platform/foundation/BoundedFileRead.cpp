#include "platform/foundation/BoundedFileRead.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>

namespace {

FileReadProblem problemOfOpen(int error, FileLinks links) {
    if (error == ENOENT || error == ENOTDIR) return FileReadProblem::NotFound;
    if (error == ELOOP && links == FileLinks::Refuse) return FileReadProblem::Link;
    return FileReadProblem::Unreadable;
}

}  // namespace

BoundedFileBytes readBoundedFile(const std::filesystem::path& path, std::size_t maxBytes,
                                 FileLinks links) {
    // Opened without waiting, and looked at once open: a pipe put in the file's place after any
    // earlier look must not hold the reader.
    const int flags =
        O_RDONLY | O_NONBLOCK | O_CLOEXEC | (links == FileLinks::Refuse ? O_NOFOLLOW : 0);
    const int fd = ::open(path.c_str(), flags);
    if (fd < 0) return {std::nullopt, problemOfOpen(errno, links)};
    struct stat info {};
    BoundedFileBytes result;
    if (::fstat(fd, &info) != 0) {
        result.problem = FileReadProblem::Unreadable;
    } else if (!S_ISREG(info.st_mode)) {
        result.problem = FileReadProblem::NotRegular;
    } else if (static_cast<std::uintmax_t>(info.st_size) > maxBytes) {
        result.problem = FileReadProblem::TooLarge;
    }
    if (result.problem != FileReadProblem::None) {
        ::close(fd);
        return result;
    }
    std::string bytes;
    char buffer[65536];
    ssize_t n = 0;
    // The size may have grown since the look: the read stops one byte past the limit.
    while (bytes.size() <= maxBytes) {
        n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        bytes.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    if (n < 0) return {std::nullopt, FileReadProblem::Unreadable};
    if (bytes.size() > maxBytes) return {std::nullopt, FileReadProblem::TooLarge};
    return {std::move(bytes), FileReadProblem::None};
}

std::string_view describeFileReadProblem(FileReadProblem problem) {
    switch (problem) {
        case FileReadProblem::None:
            return "was read";
        case FileReadProblem::NotFound:
            return "does not exist";
        case FileReadProblem::Link:
            return "is a link";
        case FileReadProblem::NotRegular:
            return "is not a plain file";
        case FileReadProblem::TooLarge:
            return "is too large";
        case FileReadProblem::Unreadable:
            return "cannot be read";
    }
    return "cannot be read";
}
