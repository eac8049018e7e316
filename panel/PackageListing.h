#pragma once

// The list of installed packages that the support mail carries. It is written into a file of
// the panel's own under the device's "/tmp" (made new, never through a link, and removed once
// read), by the package manager run directly with no shell between; a device without a package
// manager gets a listing that says so.

#include <cstdint>
#include <vector>

// The listing's bytes.
std::vector<std::uint8_t> packageListing();
