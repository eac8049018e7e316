// UIColor_Expanded: colours by name, answered through a process-wide cache that the category's
// load hook creates.

#include <functional>
#include <mutex>
#include <string>
#include <unordered_map>

#include "colour/UIColor_Expanded.h"
#include "colour/UIColor_Expanded_Support.h"

namespace UIColor_Expanded {

namespace {

// Hashes a std::string and a std::string_view alike, so that a look-up copies no name.
struct NameHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view name) const {
        return std::hash<std::string_view>{}(name);
    }
};

// Each name asked, exactly as given, with its colour, or an empty pointer recording that the
// table lacks it, so an unknown name is searched once too. Entries are never removed or
// replaced, which is what lets colorWithName hand out one object per name.
struct NameCache {
    std::recursive_mutex lock;
    std::unordered_map<std::string, UIColorRef, NameHash, std::equal_to<>> colors;
};

// Created by load() and never freed, so it outlives any static destructor that still asks for a
// colour.
NameCache* nameCache = nullptr;
std::once_flag nameCacheCreated;

// The load hook runs with this library's static initialisers. It lives beside colorWithName so
// that whatever links colorWithName links the hook too.
[[maybe_unused]] const bool loadHookRan = (load(), true);

}  // namespace

void load() {
    std::call_once(nameCacheCreated, [] { nameCache = new NameCache; });
}

UIColorRef colorWithName(std::string_view name) {
    // Another library's static initialiser may ask for a name before this library's hook ran.
    load();
    std::lock_guard guard(nameCache->lock);
    auto cached = nameCache->colors.find(name);
    if (cached != nameCache->colors.end()) return cached->second;
    UIColorRef found = UIColor_Expanded_Support::searchForColorByName(name);
    nameCache->colors.emplace(std::string(name), found);
    return found;
}

}  // namespace UIColor_Expanded
