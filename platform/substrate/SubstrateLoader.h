#pragma once

// The substrate loader: at a host's start, it loads the modules of
// /Library/MobileSubstrate/DynamicLibraries/ whose filter names the host, so that each module's
// load-time routine runs before the host's own start-up code.

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

struct LoadedModule {
    std::string name;  // the file name, "Corvane.so"
    void* handle;      // the dlopen handle; modules stay loaded for the life of the process
};

// Loads, in name order, every module "X.so" of the device root's DynamicLibraries folder whose
// filter "X.plist" lists `bundleIdentifier` under Filter/Bundles (or the host's executable name
// under Filter/Executables). A module without a filter, with an unreadable filter, or that fails
// to load is skipped with a line in the system log; the host starts all the same.
std::vector<LoadedModule> MSLoadModulesForHost(std::string_view bundleIdentifier,
                                               std::string_view executableName);

// Whether a module's filter, given as the bytes of its property list, admits the host: its
// Filter dictionary lists `bundleIdentifier` under Bundles or `executableName` under
// Executables. Nothing when the bytes are not a property list whose root holds a Filter
// dictionary.
std::optional<bool> MSFilterAdmitsHost(std::span<const char> filter,
                                       std::string_view bundleIdentifier,
                                       std::string_view executableName);
