#include "stress/StressRoot.h"

#include "platform/foundation/DeviceRoot.h"

#include <cstdlib>
#include <stdexcept>
#include <string>

StressRoot::StressRoot(const StressPaths& paths, bool installed) {
    std::string pattern = (std::filesystem::temp_directory_path() / "corvane-stress-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("cannot make a temporary device root");
    path_ = pattern;
    if (installed) {
        std::filesystem::copy(paths.device / "Library", path_ / "Library",
                              std::filesystem::copy_options::recursive);
    }
}

StressRoot::~StressRoot() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

std::filesystem::path StressRoot::settingsFile() const {
    return path_ / "User/Library/Preferences/com.quillmoss.corvane.plist";
}
