#pragma once

// Small pictures for graphics tests: images spelled as rows of letters, and pixel printing.

#include <gtest/gtest.h>

#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "platform/graphics/CGContext.h"
#include "platform/graphics/CGImage.h"

inline void PrintTo(const CGImagePixel& p, std::ostream* os) {
    *os << "rgba(" << int(p.r) << ", " << int(p.g) << ", " << int(p.b) << ", " << int(p.a) << ")";
}

namespace graphics_test {

inline constexpr CGImagePixel kClear{0, 0, 0, 0};
inline constexpr CGImagePixel kRed{255, 0, 0, 255};
inline constexpr CGImagePixel kBlue{0, 0, 255, 255};
inline constexpr CGImagePixel kWhite{255, 255, 255, 255};
inline constexpr CGImagePixel kBlack{0, 0, 0, 255};

// An image spelled row by row from the top: 'r' red, 'b' blue, 'w' white, 'k' black, 'h' white
// at half alpha, '.' transparent.
inline CGImageRef imageOf(const std::vector<std::string>& rows) {
    static const std::map<char, CGImagePixel> palette = {
        {'r', kRed},  {'b', kBlue}, {'w', kWhite}, {'k', kBlack}, {'h', {255, 255, 255, 128}},
        {'.', kClear}};
    std::vector<CGImagePixel> pixels;
    for (const auto& row : rows) {
        for (char c : row) pixels.push_back(palette.at(c));
    }
    return CGImageCreateWithPixels(rows[0].size(), rows.size(), pixels);
}

// The pixel of a context's bitmap at column x, row y (row 0 at the top).
inline CGImagePixel pixelAt(const CGContextRef& ctx, size_t x, size_t y) {
    return CGImageGetPixelForTesting(CGBitmapContextCreateImage(ctx), x, y);
}

// Whether two pixels differ by at most `tolerance` in every channel.
inline bool near(CGImagePixel a, CGImagePixel b, int tolerance = 1) {
    return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance &&
           std::abs(a.b - b.b) <= tolerance && std::abs(a.a - b.a) <= tolerance;
}

inline CGColorRef rgba(float r, float g, float b, float a) {
    return CGColorCreate(CGColorSpaceCreateDeviceRGB(), {r, g, b, a});
}

}  // namespace graphics_test
