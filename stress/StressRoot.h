#pragma once

// Where a check finds the project's programs and files, and the fresh device root it runs on.

#include <filesystem>

// The build's programs, its installed device folder and the example scripts.
struct StressPaths {
    std::filesystem::path bin;
    std::filesystem::path device;
    std::filesystem::path examples;

    std::filesystem::path program(const char* name) const { return bin / name; }
};

// A temporary device root for one check, removed with everything in it when it goes. With
// `installed`, it holds a copy of the build's Library (the tweak, the panel, the artwork), as a
// device that has Corvane installed.
class StressRoot {
public:
    StressRoot(const StressPaths& paths, bool installed);
    ~StressRoot();
    StressRoot(const StressRoot&) = delete;
    StressRoot& operator=(const StressRoot&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // The host path of the settings file.
    std::filesystem::path settingsFile() const;

private:
    std::filesystem::path path_;
};
