#pragma once

// A screen much larger than its window, shrunk by a whole factor before it is handed to the
// window system: each f × f block of pixels becomes their average. Uploading and scaling the full
// picture every frame costs more than drawing it (a 1290 × 2796 screen is 14 MB); the shrunk one
// is scaled the rest of the way by the window as before.

#include <cstddef>
#include <cstdint>
#include <vector>

// The whole factor by which a `width` × `height` picture shown in `outWidth` × `outHeight`
// pixels may be shrunk first, so that it still has at least as many pixels as the window: 1 when
// it is not twice as large.
int screenDownscaleFactor(int width, int height, int outWidth, int outHeight);

// The average of each f × f block of a `width` × `height` picture of 32-bit pixels (rows `stride`
// bytes apart), each channel rounded, into `out` as (width / f) × (height / f) pixels; the
// pixels past the last whole block are left out.
void screenDownscale(const uint8_t* pixels, std::ptrdiff_t stride, int width, int height, int f,
                     std::vector<uint32_t>& out);
