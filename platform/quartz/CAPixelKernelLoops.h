#pragma once

// The two row kernels that are plain loops in both builds: written once here and inlined where
// they are compiled, so that the SSE2 build can also compile them for AVX2 (its target clones)
// while the portable build compiles them for the baseline.

#include "platform/quartz/CAPixelKernels.h"

namespace CAPixelKernelLoops {

// See CAPixelKernelsPortable::shiftRow.
[[gnu::always_inline]] inline void shiftRow(uint16_t* __restrict out, const uint32_t* __restrict src,
                                            int n, int w) {
    const auto* s = reinterpret_cast<const uint8_t*>(src);
    const uint16_t keep = uint16_t(256 - w), take = uint16_t(w);
    for (int c = 0; c < 4; ++c) out[c] = uint16_t((s[c] * keep + 128) >> 8);
    const int lanes = 4 * n;
    for (int l = 4; l < lanes; ++l) {
        out[l] = uint16_t((uint16_t(s[l] * keep) + uint16_t(s[l - 4] * take) + 128) >> 8);
    }
    for (int c = 0; c < 4; ++c) out[lanes + c] = uint16_t((s[lanes - 4 + c] * take + 128) >> 8);
}

// See CAPixelKernelsPortable::mixTapsLanes.
[[gnu::always_inline]] inline void mixTapsLanes(uint8_t* dst, const uint8_t* below,
                                                const uint8_t* __restrict rowJ,
                                                const uint8_t* __restrict rowJm1, int l0, int l1,
                                                CAPixelTaps t) {
    for (int l = l0; l < l1; ++l) {
        dst[l] = uint8_t((uint16_t(rowJ[l] * t.w00) + uint16_t(rowJ[l - 4] * t.w01) +
                          uint16_t(rowJm1[l] * t.w10) + uint16_t(rowJm1[l - 4] * t.w11) +
                          uint16_t(below[l] * t.keep) + 128) >>
                         8);
    }
}

}  // namespace CAPixelKernelLoops
