#include "platform/foundation/DeviceRoot.h"

#include <cstdlib>
#include <mutex>

namespace {

std::mutex rootMutex;
std::filesystem::path& currentRoot() {
    static std::filesystem::path root = std::filesystem::current_path() / "device";
    return root;
}

std::filesystem::path homeRoot() {
    const char* home = std::getenv("HOME");
    const std::filesystem::path base = home && *home ? home : "/tmp";
    return base / ".local/share/corvane/device";
}

// Fills a new home root from the installed copy of the device folder, when there is one.
void fillFromInstalledCopy(const std::filesystem::path& root, const std::filesystem::path& binDir) {
    const auto installed = binDir.parent_path() / "lib/corvane/device";
    std::error_code ec;
    if (std::filesystem::is_directory(installed, ec)) {
        std::filesystem::copy(installed, root, std::filesystem::copy_options::recursive |
                                                   std::filesystem::copy_options::skip_existing,
                              ec);
    }
}

}  // namespace

namespace DeviceRoot {

void set(const std::filesystem::path& root) {
    std::lock_guard lock(rootMutex);
    currentRoot() = std::filesystem::absolute(root).lexically_normal();
}

std::filesystem::path get() {
    std::lock_guard lock(rootMutex);
    return currentRoot();
}

std::filesystem::path resolve(std::string_view devicePath) {
    std::filesystem::path relative;
    for (const auto& part : std::filesystem::path(devicePath).lexically_normal().relative_path()) {
        if (part == "..") {
            if (!relative.empty()) relative = relative.parent_path();
            continue;
        }
        if (part != "." && !part.empty()) relative /= part;
    }
    return get() / relative;
}

bool staysInside(const std::filesystem::path& path) {
    const auto root = get();
    const auto relative = std::filesystem::absolute(path).lexically_normal().lexically_relative(root);
    if (relative.empty() || *relative.begin() == "..") return false;
    std::filesystem::path folder = root;
    for (const auto& part : relative.parent_path()) {
        folder /= part;
        std::error_code ec;
        const auto status = std::filesystem::symlink_status(folder, ec);
        if (ec || status.type() == std::filesystem::file_type::not_found) return true;
        if (status.type() != std::filesystem::file_type::directory) return false;
    }
    return true;
}

std::filesystem::path defaultFor(const std::filesystem::path& executable) {
    std::error_code ec;
    auto exe = std::filesystem::weakly_canonical(executable, ec);
    if (ec) exe = executable;
    const auto binDir = exe.parent_path();
    const auto buildTree = binDir.parent_path();
    if (std::filesystem::exists(buildTree / "CMakeCache.txt", ec) &&
        std::filesystem::is_directory(buildTree / "device", ec)) {
        return buildTree / "device";
    }
    const auto root = homeRoot();
    if (!std::filesystem::exists(root, ec)) {
        std::filesystem::create_directories(root, ec);
        fillFromInstalledCopy(root, binDir);
    }
    return root;
}

std::optional<std::string> setFromOption(const std::optional<std::string>& given) {
    if (!given) {
        set(defaultFor("/proc/self/exe"));
        return std::nullopt;
    }
    if (given->empty()) {
        return std::string("--root is empty (an unset variable?); name the device folder, or "
                           "leave --root out for the default one");
    }
    std::error_code ec;
    if (!std::filesystem::is_directory(*given, ec)) {
        return "the device root " + *given + " is not a folder";
    }
    set(*given);
    return std::nullopt;
}

}  // namespace DeviceRoot
