#pragma once

// The row kernels under the compositor's pixel loops, on premultiplied ARGB32 pixels. There are
// two builds of the same arithmetic: plain C++ that any compiler vectorises as it can, built
// everywhere, and SSE2 (with AVX2 clones), built where CORVANE_SIMD is on. Both give the same
// pixels bit for bit, so a picture does not depend on the processor that drew it. Weights run from
// 0 to 256; a channel c scaled by w is (c * w) >> 8, and the mixes round by adding 128 first.

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
struct CAPixelWalk {
    int32_t u, v, du, dv;
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
struct CAPixelCurlRow {
    int32_t x, y, f, df;
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

// Pixels [0, n) of an output row: `source` (rows `stride` pixels apart) sampled bilinearly along
// `walk`, each sample mixed down its two rows first and then across its two columns, rounding each
// time; every tap must lie inside the source. Each sample is blended at opacity `alpha` (1 to 256)
// over `below` into `dst`, each channel saturating at 255, or, with `below` null (for an opaque
// source at opacity 256, where the blend changes nothing), written as it is. `dst` may be `below`.
void sampleRow(uint32_t* dst, const uint32_t* below, const uint32_t* source, std::ptrdiff_t stride,
               CAPixelWalk walk, int n, int alpha);

// Byte lanes [0, n): dst[l] = (a[l] wa + b[l] wb + bias) >> 8, a fixed mix of two rows and a
// constant; the weights and bias must keep every sum within 16 bits. `dst` may be `a`.
void mixLanes(uint8_t* dst, const uint8_t* a, const uint8_t* b, int n, uint16_t wa, uint16_t wb,
              uint16_t bias);

// Pixels [0, n) of a row over a page curl's cylinder on an opaque `page` (`width` × `height`, at
// least 2 × 2, rows `stride` pixels apart), where the pixel lies half a pixel or more inside the
// cylinder's silhouette (f of 2 entries or more). Where the upper layer's four taps lie inside
// the page and the centre of the lower layer's nearest pixel does too, out[i] is the table's mix
// of the upper layer's bilinear sample and that pixel; where the upper layer lies half a pixel or
// more off the page and the lower layer's taps inside it, out[i] is the lower layer's bilinear
// sample shaded. Either is made opaque, and done[i] is 1; elsewhere done[i] is 0 and out[i]
// means nothing. The table's first f + 1 entries must be there for every pixel.
void curlCylinderRow(uint32_t* out, int32_t* done, const uint32_t* page, int32_t stride,
                     int32_t width, int32_t height, const CAPixelCurlTable& table,
                     CAPixelCurlRow row, int n);

}  // namespace CAPixelKernelsPortable

#if CORVANE_SIMD

// The same kernels with SSE2, their results equal to the portable ones bit for bit.
namespace CAPixelKernelsSse2 {

void blendRow(uint32_t* dst, const uint32_t* src, int n, int alpha);
void shiftRow(uint16_t* out, const uint32_t* src, int n, int w);
void mixOver(uint32_t* dst, const uint32_t* below, const uint16_t* lower, const uint16_t* upper,
             int i, int end, int wLower, int wUpper);
void mixTapsLanes(uint8_t* dst, const uint8_t* below, const uint8_t* rowJ, const uint8_t* rowJm1,
                  int l0, int l1, CAPixelTaps t);
void sampleRow(uint32_t* dst, const uint32_t* below, const uint32_t* source, std::ptrdiff_t stride,
               CAPixelWalk walk, int n, int alpha);
void mixLanes(uint8_t* dst, const uint8_t* a, const uint8_t* b, int n, uint16_t wa, uint16_t wb,
              uint16_t bias);
void curlCylinderRow(uint32_t* out, int32_t* done, const uint32_t* page, int32_t stride,
                     int32_t width, int32_t height, const CAPixelCurlTable& table,
                     CAPixelCurlRow row, int n);

}  // namespace CAPixelKernelsSse2

// The kernels this build draws with.
namespace CAPixelKernels = CAPixelKernelsSse2;

#else

// The kernels this build draws with.
namespace CAPixelKernels = CAPixelKernelsPortable;

#endif
