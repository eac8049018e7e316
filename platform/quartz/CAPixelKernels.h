#pragma once

// The row kernels under the compositor's pixel loops, on premultiplied ARGB32 pixels. Each kernel
// is declared once (CAPixelKernelSet.h) and written once (CAPixelKernelBodies.h), and that one body
// is compiled once for each instruction set into a namespace of its own: plain C++ that any
// compiler vectorises as it can (CAPixelKernelsPortable), built everywhere, and the same with SSE2
// steps for the bulk of a row and AVX2 clones of the plain loops (CAPixelKernelsSse2), built where
// CORVANE_SIMD is on. Both give the same pixels bit for bit, so a picture does not depend on the
// processor that drew it. Weights run from 0 to 256; a channel c scaled by w is (c * w) >> 8, and
// the mixes round by adding 128 first.

#include <cstddef>
#include <cstdint>

// The four weights of a bilinear sample, the opacity folded in: row j and row j - 1, each at
// columns k and k - 1; they add up to the opacity. `keep` is what stays of an opaque picture below.
struct CAPixelTaps {
    uint16_t w00, w01, w10, w11, keep;
};

// A walk through a source for one output row: where the first pixel's bilinear sample lies and how
// far it moves from pixel to pixel, in source pixels, 16.16 fixed point. The point is the top-left
// of the sample's four taps (a pixel's centre less half a pixel), so its whole part is the column
// (or row) of the left (or upper) taps and the top 8 bits of its fraction are the weight of the
// right (or lower) ones.
// `ahead` says where the same pixel's taps lie a few output rows later, in pixels from these
// (rows times the stride plus columns): the kernel asks the processor to bring them into its cache
// while it works on this row, as a walk that slants through the source goes from row to row
// faster than the processor's own prefetching follows. 0 asks for nothing.
struct CAPixelWalk {
    int32_t u, v, du, dv;
    int32_t ahead = 0;
};

// A page curl's table across its cylinder, as columns: for each entry, 16.16 offsets from a pixel
// to the top-left tap of each layer's paper (the upper layer's interpolated between entries, the
// lower's from the nearest entry), the mix of the two over an opaque page (the upper's channels
// weighted by mixUpper, the lower's by mixLower, plus `mixWhite`, in 256ths), and the lower
// layer's shade where it shows alone (0 to 256). `weights` packs mixUpper, mixLower and the shade
// in bits 0, 8 and 16, so that a pixel reads them at once.
struct CAPixelCurlTable {
    const int32_t *upperX, *upperY, *lowerX, *lowerY;
    const uint32_t *weights, *mixWhite;
};

// A row of pixels over a page curl's cylinder: pixel i lies at column x + i of row y, and at
// f + i df along the table (16.16, in entries, from the cylinder's trailing side).
// `ahead`, as in CAPixelWalk, says where the paper a pixel reads lies a few rows later, in pixels
// from it: across a slanting cylinder a row's paper lies along a slanting line through the page,
// which the processor's own prefetching does not follow. 0 asks for nothing.
struct CAPixelCurlRow {
    int32_t x, y, f, df;
    int32_t ahead = 0;
};

// The kernels of each instruction set this build holds. The portable ones are always there, so
// that the tests can hold the SSE2 ones to the same pixels.
#define CA_KERNEL_NS CAPixelKernelsPortable
#include "platform/quartz/CAPixelKernelSet.h"
#undef CA_KERNEL_NS

#if CORVANE_SIMD

#define CA_KERNEL_NS CAPixelKernelsSse2
#include "platform/quartz/CAPixelKernelSet.h"
#undef CA_KERNEL_NS

// The kernels this build draws with.
namespace CAPixelKernels = CAPixelKernelsSse2;

#else

// The kernels this build draws with.
namespace CAPixelKernels = CAPixelKernelsPortable;

#endif
