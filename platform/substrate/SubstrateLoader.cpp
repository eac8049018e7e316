#include "platform/substrate/SubstrateLoader.h"

#include "platform/foundation/DeviceRoot.h"
#include "platform/foundation/NSLog.h"
#include "platform/foundation/PropertyList.h"

#include <dlfcn.h>

#include <algorithm>
#include <filesystem>

namespace {

constexpr const char* kModulesFolder = "/Library/MobileSubstrate/DynamicLibraries";

bool listNames(const PlistDictionary& filter, std::string_view key, std::string_view name) {
    const auto found = filter.find(key);
    if (found == filter.end()) return false;
    const auto* names = found->second.as<PlistArray>();
    if (!names) return false;
    return std::any_of(names->begin(), names->end(), [&](const PlistValue& item) {
        const auto* text = item.as<std::string>();
        return text && *text == name;
    });
}

// Whether a filter's root admits this host; nothing when it holds no Filter dictionary.
std::optional<bool> rootAdmits(const PlistDictionary* root, std::string_view bundle,
                               std::string_view executable) {
    const auto filter = root ? root->find("Filter") : PlistDictionary::const_iterator{};
    const PlistDictionary* criteria =
        root && filter != root->end() ? filter->second.as<PlistDictionary>() : nullptr;
    if (!criteria) return std::nullopt;
    return listNames(*criteria, "Bundles", bundle) || listNames(*criteria, "Executables", executable);
}

// Whether the module's filter admits this host; an unreadable filter is logged and admits none.
bool filterAdmits(const std::filesystem::path& filterFile, std::string_view bundle,
                  std::string_view executable) {
    const auto root = readPropertyListDictionary(filterFile);
    const auto admits = rootAdmits(root ? &*root : nullptr, bundle, executable);
    if (!admits) {
        NSLog("Substrate: skipping " + filterFile.stem().string() + ": its filter " +
              filterFile.filename().string() + " cannot be read");
        return false;
    }
    return *admits;
}

std::vector<std::filesystem::path> modulesIn(const std::filesystem::path& folder) {
    std::vector<std::filesystem::path> modules;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
        if (entry.path().extension() == ".so") modules.push_back(entry.path());
    }
    std::sort(modules.begin(), modules.end());
    return modules;
}

}  // namespace

std::vector<LoadedModule> MSLoadModulesForHost(std::string_view bundleIdentifier,
                                               std::string_view executableName) {
    std::vector<LoadedModule> loaded;
    for (const auto& module : modulesIn(DeviceRoot::resolve(kModulesFolder))) {
        const auto name = module.filename().string();
        auto filter = module;
        filter.replace_extension(".plist");
        if (!std::filesystem::exists(filter)) {
            NSLog("Substrate: skipping " + name + ": it has no filter");
            continue;
        }
        if (!filterAdmits(filter, bundleIdentifier, executableName)) continue;
        void* handle = ::dlopen(module.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!handle) {
            const char* why = ::dlerror();
            NSLog("Substrate: skipping " + name + ": " + (why ? why : "it cannot be loaded"));
            continue;
        }
        loaded.push_back({name, handle});
    }
    return loaded;
}

std::optional<bool> MSFilterAdmitsHost(std::span<const char> filter,
                                       std::string_view bundleIdentifier,
                                       std::string_view executableName) {
    const auto root = propertyListFromBytes(filter);
    return rootAdmits(root ? root->as<PlistDictionary>() : nullptr, bundleIdentifier,
                      executableName);
}
