// The row kernels, declared once for every instruction set they are built for. This file has no
// include guard on purpose: CAPixelKernels.h reads it once for each instruction set, with
// CA_KERNEL_NS naming that set's namespace, and CAPixelKernelBodies.h defines what it declares.
// Include CAPixelKernels.h, never this file.

#ifndef CA_KERNEL_NS
#error "CA_KERNEL_NS names the namespace of the kernels being declared"
#endif

namespace CA_KERNEL_NS {

// The instruction set these kernels' sampling runs on, on this processor: "portable", "SSE2" or
// "AVX2".
const char* instructionSet();

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
// means nothing. The table's first f + 1 entries must be there for every pixel, and its mixes must
// keep every channel's sum within 16 bits (255 (mixUpper + mixLower) + mixWhite below 65536).
void curlCylinderRow(uint32_t* out, int32_t* done, const uint32_t* page, int32_t stride,
                     int32_t width, int32_t height, const CAPixelCurlTable& table,
                     CAPixelCurlRow row, int n);

}  // namespace CA_KERNEL_NS
