#pragma once

// Shared by the lock-screen view tests: readable rectangles in failures, and PNG artwork written
// under a test's device root.

#include "platform/foundation/DeviceRoot.h"
#include "platform/graphics/CGGeometry.h"
#include "platform/graphics/CGImage.h"

#include <filesystem>
#include <ostream>
#include <string_view>
#include <vector>

inline void PrintTo(const CGRect& r, std::ostream* os) {
    *os << "(" << r.origin.x << ", " << r.origin.y << ", " << r.size.width << ", " << r.size.height
        << ")";
}

namespace views_test {

// Writes a `width` × `height` PNG of one colour at `devicePath`, making its folders.
inline bool writeSolidPNG(std::string_view devicePath, size_t width, size_t height,
                          CGImagePixel colour) {
    const std::filesystem::path file = DeviceRoot::resolve(devicePath);
    std::filesystem::create_directories(file.parent_path());
    const std::vector<CGImagePixel> pixels(width * height, colour);
    return CGImageWritePNG(CGImageCreateWithPixels(width, height, pixels), file);
}

}  // namespace views_test
