#include "sim/device/ScreenDownscale.h"

#include "platform/quartz/CAPixelWorkers.h"

#include <algorithm>
#include <cstring>

int screenDownscaleFactor(int width, int height, int outWidth, int outHeight) {
    if (outWidth <= 0 || outHeight <= 0) return 1;
    // Sums of up to 16 × 16 channels fit the 16 bits they are added in.
    return std::clamp(std::min(width / outWidth, height / outHeight), 1, 16);
}

// Each output row is made in three loops the compiler vectorises or keeps short: its f source
// rows summed lane by lane into 16-bit lanes; each pixel's f columns summed, four lanes at a time
// in one 64-bit word (no lane's sum reaches past its 16 bits, so none carries into the next); and
// every sum divided, as a multiplication by 65536 / f², rounded. A sum is at most 255 f².
void screenDownscale(const uint8_t* pixels, std::ptrdiff_t stride, int width, int height, int f,
                     std::vector<uint32_t>& out) {
    const int w = width / f, h = height / f, lanes = 4 * w * f;
    out.resize(size_t(w) * size_t(h));
    const uint32_t area = uint32_t(f * f);
    const uint32_t inverse = (65536 + area / 2) / area;
    // Bands of output rows, on all the cores for a large screen.
    constexpr int kBandRows = 64;
    const auto band = [&](int index) {
        std::vector<uint16_t> rows(static_cast<size_t>(lanes)), sums(4 * static_cast<size_t>(w));
        const int end = std::min(h, (index + 1) * kBandRows);
        for (int y = index * kBandRows; y < end; ++y) {
            const uint8_t* first = pixels + std::ptrdiff_t(y) * f * stride;
            uint16_t* __restrict down = rows.data();
            for (int l = 0; l < lanes; ++l) down[l] = first[l];
            for (int r = 1; r < f; ++r) {
                const uint8_t* __restrict row = first + r * stride;
                for (int l = 0; l < lanes; ++l) down[l] = uint16_t(down[l] + row[l]);
            }
            for (int x = 0; x < w; ++x) {
                uint64_t sum = 0;
                for (int k = 0; k < f; ++k) {
                    uint64_t pixel;
                    std::memcpy(&pixel, down + 4 * (x * f + k), sizeof pixel);
                    sum += pixel;
                }
                std::memcpy(sums.data() + 4 * x, &sum, sizeof sum);
            }
            auto* __restrict dst = reinterpret_cast<uint8_t*>(out.data() + size_t(y) * size_t(w));
            const uint16_t* __restrict across = sums.data();
            for (int l = 0; l < 4 * w; ++l) {
                dst[l] = uint8_t(std::min((across[l] * inverse + 32768) >> 16, 255u));
            }
        }
    };
    CAPixelWorkers::forEach((h + kBandRows - 1) / kBandRows, int64_t(width) * height, band);
}
