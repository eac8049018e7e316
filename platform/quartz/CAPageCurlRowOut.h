#pragma once

// Where the page curl's painter puts a row of the curled page: into a picture of its own, as the
// pixels are, or straight over a target's pixels at an opacity.

#include "platform/quartz/CAPageCurlPixels.h"
#include "platform/quartz/CAPixelSample.h"

#include <cstdint>
#include <cstring>

// Where a row of the curled page goes: `out`, indexed by the page's column, either written as it
// is or, `over`, blended at `alpha` over what it holds, or over `below` (indexed as `out` is) where
// that is given: a still picture under the page, which is then never copied into `out` first but
// read where it shows, every pixel of `out` being written once.
struct CAPageCurlRowOut {
    uint32_t* out = nullptr;
    bool over = false;
    uint32_t alpha = 256;
    bool pageOpaque = false;
    const uint32_t* below = nullptr;

    // Whether what lies over the opaque flat page (the page itself, the flap over it) can be
    // written as it is.
    bool writesPaper() const { return !over || (pageOpaque && alpha >= 256); }
    // Whether the paper hides the target wholly: an opaque page at full opacity over it.
    bool hidesTarget() const { return over && pageOpaque && alpha >= 256; }
    // What lies under the page, indexed as `out` is.
    const uint32_t* under() const { return below ? below : out; }
    // Shows what lies under the page, and nothing of it, at the columns [begin, end).
    void uncover(int begin, int end) const {
        if (below && end > begin) {
            std::memcpy(out + begin, below + begin, size_t(end - begin) * sizeof(uint32_t));
        }
    }
    // Puts `p` at `column`.
    void put(int column, CAPageCurlPixels::Pixel p) const {
        out[column] = over ? CAPixelSample::over(p, under()[column], alpha) : p;
    }
    // Puts `p`, which is opaque paper but for rounding where the page is opaque.
    void putPaper(int column, CAPageCurlPixels::Pixel p) const {
        if (hidesTarget()) {
            out[column] = p | 0xFF000000u;
        } else {
            put(column, p);
        }
    }
};
