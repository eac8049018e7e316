#pragma once

// A fresh device root for one test, removed afterwards; it becomes the process's device root.

#include "platform/foundation/DeviceRoot.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

class TemporaryRoot {
public:
    TemporaryRoot() {
        std::string pattern = (std::filesystem::temp_directory_path() / "corvane-test-XXXXXX").string();
        path_ = ::mkdtemp(pattern.data());
        DeviceRoot::set(path_);
    }
    ~TemporaryRoot() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    TemporaryRoot(const TemporaryRoot&) = delete;
    TemporaryRoot& operator=(const TemporaryRoot&) = delete;

    const std::filesystem::path& path() const { return path_; }

    // Host path of a device path under this root (not the process's current root: a test may
    // hold several).
    std::filesystem::path operator/(std::string_view devicePath) const {
        return path_ / std::filesystem::path(devicePath).relative_path();
    }

    // Writes `bytes` to the device path, making its folders.
    void write(std::string_view devicePath, std::string_view bytes) const {
        const auto file = *this / devicePath;
        std::filesystem::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary) << bytes;
    }

private:
    std::filesystem::path path_;
};

// The whole content of a file, or an empty string.
inline std::string fileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}
