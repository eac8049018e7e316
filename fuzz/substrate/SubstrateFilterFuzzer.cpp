// Feeds arbitrary bytes to the substrate loader as a module's filter, asking for each host the
// device starts whether the filter admits it: whatever the bytes, the loader decides without
// crashing, leaking or reading outside them.

#include "platform/foundation/NSLog.h"
#include "platform/substrate/SubstrateLoader.h"

#include <span>
#include <string_view>

namespace {

// The hosts the device starts, by bundle identifier and executable name.
struct Host {
    std::string_view bundle;
    std::string_view executable;
};
constexpr Host kHosts[] = {
    {"com.apple.springboard", "SpringBoard"},
    {"com.apple.Preferences", "Preferences"},
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool quiet = (setLogToStandardError(false), true);
    (void)quiet;
    const std::span<const char> filter(reinterpret_cast<const char*>(data), size);
    for (const Host& host : kHosts) MSFilterAdmitsHost(filter, host.bundle, host.executable);
    return 0;
}
