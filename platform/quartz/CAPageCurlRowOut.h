#pragma once

// Where the page curl's painter puts a row of the curled page: into a picture of its own, as the
// pixels are, or straight over a target's pixels at an opacity.

#include "platform/quartz/CAPageCurlPixels.h"
#include "platform/quartz/CAPixelSample.h"

#include <cstdint>

// Where a row of the curled page goes: `out`, indexed by the page's column, either written as it
// is or, `over`, blended at `alpha` over what it holds.
struct CAPageCurlRowOut {
    uint32_t* out = nullptr;
    bool over = false;
    uint32_t alpha = 256;
    bool pageOpaque = false;

    // Whether what lies over the opaque flat page (the page itself, the flap over it) can be
    // written as it is.
    bool writesPaper() const { return !over || (pageOpaque && alpha >= 256); }
    // Whether the paper hides the target wholly: an opaque page at full opacity over it.
    bool hidesTarget() const { return over && pageOpaque && alpha >= 256; }
    // Puts `p` at `column`.
    void put(int column, CAPageCurlPixels::Pixel p) const {
        out[column] = over ? CAPixelSample::over(p, out[column], alpha) : p;
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
