#include "panel/PackageListing.h"

#include "platform/foundation/DeviceRoot.h"
#include "platform/foundation/NSLog.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <string_view>

extern char** environ;

namespace {

constexpr const char* kPackageManager = "/usr/bin/dpkg";
constexpr std::string_view kNoPackageManager = "No package manager on this device.\n";
constexpr std::string_view kNoListingFile =
    "The package listing could not be written: the device's /tmp is not a folder of its own.\n";

// Runs "dpkg -l" with its output going to `fd`; false when it cannot be run.
bool listPackagesInto(int fd) {
    if (::access(kPackageManager, X_OK) != 0) return false;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fd, STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    char program[] = "dpkg", option[] = "-l";
    char* arguments[] = {program, option, nullptr};
    pid_t pid = 0;
    const int failed = ::posix_spawn(&pid, kPackageManager, &actions, nullptr, arguments, environ);
    posix_spawn_file_actions_destroy(&actions);
    if (failed != 0) return false;
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return true;
}

std::vector<std::uint8_t> readAll(int fd) {
    std::vector<std::uint8_t> bytes;
    ::lseek(fd, 0, SEEK_SET);
    std::uint8_t buffer[65536];
    for (ssize_t n; (n = ::read(fd, buffer, sizeof buffer)) > 0;) {
        bytes.insert(bytes.end(), buffer, buffer + n);
    }
    return bytes;
}

}  // namespace

std::vector<std::uint8_t> packageListing() {
    const auto folder = DeviceRoot::resolve("/tmp");
    std::string path = (folder / "crvsettings-packages.XXXXXX").string();
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    // mkstemp makes a new file and fails rather than follow a link planted under that name.
    const int fd = DeviceRoot::staysInside(path) ? ::mkstemp(path.data()) : -1;
    if (fd < 0) {
        NSLog("crvsettings: no file for the package listing under the device's /tmp");
        return {kNoListingFile.begin(), kNoListingFile.end()};
    }
    if (!listPackagesInto(fd)) {
        [[maybe_unused]] const auto written = ::write(fd, kNoPackageManager.data(), kNoPackageManager.size());
    }
    auto bytes = readAll(fd);
    ::close(fd);
    ::unlink(path.c_str());
    return bytes;
}
