#pragma once

// The row kernels under the compositor's pixel loops, on premultiplied ARGB32 pixels. There are
// two builds of the same arithmetic: plain C++ that any compiler vectorises as it can, built
// everywhere, and SSE2 (with AVX2 clones), built where CORVANE_SIMD is on. Both give the same
// pixels bit for bit, so a picture does not depend on the processor that drew it. Weights run from
// 0 to 256; a channel c scaled by w is (c * w) >> 8, and the mixes round by adding 128 first.

#include <cstdint>

// The four weights of a bilinear sample, the opacity folded in: row j and row j - 1, each at
// columns k and k - 1; they add up to the opacity. `keep` is what stays of an opaque picture below.
struct CAPixelTaps {
    uint16_t w00, w01, w10, w11, keep;
};

namespace CAPixelKernelsPortable {

// Blends `n` source pixels at opacity `alpha` (0 to 256, more counts as 256) over `n` destination
// pixels, each channel saturating at 255.
void blendRow(uint32_t* dst, const uint32_t* src, int n, int alpha);

// The row of a source `n` pixels wide moved right by w/256 of a pixel, widened to 16-bit lanes
// (four a pixel, in the pixels' byte order): out[k] = (1 - w) * src[k] + w * src[k - 1] for k in
// [0, n], with the pixels outside [0, n) clear. `out` holds 4 * (n + 1) lanes.
void shiftRow(uint16_t* out, const uint32_t* src, int n, int w);

// Pixels [i, end): two rows from shiftRow, `lower` weighted wLower and `upper` weighted wUpper
// (the weights add up to the opacity, at most 256), mixed and blended over `below` into `dst`,
// each channel saturating at 255. `dst` may be `below`.
void mixOver(uint32_t* dst, const uint32_t* below, const uint16_t* lower, const uint16_t* upper,
             int i, int end, int wLower, int wUpper);

// Byte lanes [l0, l1) of an output row (l0 at least 4): one weighted sum of the four taps in the
// source rows `rowJ` and `rowJm1` (lane l's left neighbour is lane l - 4) and the picture `below`.
// The taps and `keep` must add up to 256. `dst` may be `below`.
void mixTapsLanes(uint8_t* dst, const uint8_t* below, const uint8_t* rowJ, const uint8_t* rowJm1,
                  int l0, int l1, CAPixelTaps t);

}  // namespace CAPixelKernelsPortable

#if CORVANE_SIMD

// The same four kernels with SSE2, their results equal to the portable ones bit for bit.
namespace CAPixelKernelsSse2 {

void blendRow(uint32_t* dst, const uint32_t* src, int n, int alpha);
void shiftRow(uint16_t* out, const uint32_t* src, int n, int w);
void mixOver(uint32_t* dst, const uint32_t* below, const uint16_t* lower, const uint16_t* upper,
             int i, int end, int wLower, int wUpper);
void mixTapsLanes(uint8_t* dst, const uint8_t* below, const uint8_t* rowJ, const uint8_t* rowJm1,
                  int l0, int l1, CAPixelTaps t);

}  // namespace CAPixelKernelsSse2

// The kernels this build draws with.
namespace CAPixelKernels = CAPixelKernelsSse2;

#else

// The kernels this build draws with.
namespace CAPixelKernels = CAPixelKernelsPortable;

#endif
