// The row kernels in plain C++, for every processor. Each is a loop with no branch inside, over
// bytes, 16-bit lanes or whole pixels, written for the compiler to vectorise; the arithmetic is
// the SSE2 kernels' own, down to the saturation of a channel at 255.

#include "platform/quartz/CAPixelKernelLoops.h"
#include "platform/quartz/CAPixelKernels.h"
#include "platform/quartz/CAPixelSample.h"

#include <algorithm>

namespace {

// Pixels mixed at a time by mixOver before they are blended, kept on the stack.
constexpr int kChunk = 256;

// dst[i] = src[i] at opacity `weight` over below[i]. Each channel is taken out of the 32-bit word
// and put back, so that the alpha is the top byte whatever the byte order, and the loop runs over
// whole pixels for the compiler to vectorise.
void overRow(uint32_t* dst, const uint32_t* below, const uint32_t* src, int n, uint32_t weight) {
    for (int i = 0; i < n; ++i) {
        const uint32_t s = src[i], b = below[i];
        const uint32_t inverse = 256 - (((s >> 24) * weight) >> 8);
        uint32_t out = 0;
        for (int c = 0; c < 32; c += 8) {
            const uint32_t v =
                ((((s >> c) & 0xFF) * weight) >> 8) + ((((b >> c) & 0xFF) * inverse) >> 8);
            out |= std::min(v, 255u) << c;
        }
        dst[i] = out;
    }
}

}  // namespace

namespace CAPixelKernelsPortable {

void blendRow(uint32_t* dst, const uint32_t* src, int n, int alpha) {
    overRow(dst, dst, src, n, uint32_t(std::min(alpha, 256)));
}

void shiftRow(uint16_t* out, const uint32_t* src, int n, int w) {
    CAPixelKernelLoops::shiftRow(out, src, n, w);
}

void mixOver(uint32_t* dst, const uint32_t* below, const uint16_t* lower, const uint16_t* upper,
             int i, int end, int wLower, int wUpper) {
    // Mixed lane by lane into bytes (with weights adding up to at most 256 a lane fits in one),
    // which are then pixels in the same byte order.
    uint32_t mixed[kChunk];
    auto* bytes = reinterpret_cast<uint8_t*>(mixed);
    for (; i < end; i += kChunk) {
        const int n = std::min(end - i, kChunk);
        const uint16_t* l = lower + 4 * i;
        const uint16_t* u = upper + 4 * i;
        for (int lane = 0; lane < 4 * n; ++lane) {
            bytes[lane] = uint8_t((l[lane] * wLower + u[lane] * wUpper + 128) >> 8);
        }
        overRow(dst + i, below + i, mixed, n, 256);
    }
}

void mixTapsLanes(uint8_t* dst, const uint8_t* below, const uint8_t* rowJ, const uint8_t* rowJm1,
                  int l0, int l1, CAPixelTaps t) {
    CAPixelKernelLoops::mixTapsLanes(dst, below, rowJ, rowJm1, l0, l1, t);
}

void sampleRow(uint32_t* dst, const uint32_t* below, const uint32_t* source, std::ptrdiff_t stride,
               CAPixelWalk walk, int n, int alpha) {
    CAPixelKernelLoops::sampleRow(dst, below, source, stride, walk, n, alpha);
}

void mixLanes(uint8_t* dst, const uint8_t* a, const uint8_t* b, int n, uint16_t wa, uint16_t wb,
              uint16_t bias) {
    CAPixelKernelLoops::mixLanes(dst, a, b, n, wa, wb, bias);
}

void curlCylinderRow(uint32_t* out, int32_t* done, const uint32_t* page, int32_t stride,
                     int32_t width, int32_t height, const CAPixelCurlTable& table,
                     CAPixelCurlRow row, int n) {
    CAPixelKernelLoops::curlCylinderRow(out, done, page, stride, width, height, table, row, n);
}

}  // namespace CAPixelKernelsPortable
