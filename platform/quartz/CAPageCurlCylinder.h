#pragma once

// What lies across a page curl's cylinder, tabulated along the pull from the cylinder's trailing
// side (along = -r) to its axis (0): how far back along the pull each layer's paper comes from
// (its arc plus `along`), and how each is lit. The table has entries a quarter of a pixel apart;
// between them the shifts are interpolated and the light is the nearest entry's. It comes in
// doubles, and in 16.16 fixed point for the pixels that lie well inside the page, where the
// shifts are offsets from a pixel to the paper seen there.

#include "platform/quartz/CAPixelKernels.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// How the back of the page is tinted (CAPageCurlPixels::tint): each colour channel c becomes
// (c keep + alpha white) / 256.
struct CAPageCurlTint {
    uint32_t keep, white;
};

// The back of the page: its picture mixed this far toward white, and this opaque (of 256).
constexpr uint32_t kCAPageCurlBackWhite = 166;
constexpr uint32_t kCAPageCurlBackOpacity = 230;

// A weight of 0 to 256 for `k` in [0, 1] (clamped).
uint32_t CAPageCurlWeight(double k);

// The back's tint where it is lit by `shade` and lightened by `gloss`: mixed toward white by
// kCAPageCurlBackWhite, darkened by the shade, then moved toward white by the gloss.
CAPageCurlTint CAPageCurlBackTint(double shade, double gloss);

class CAPageCurlCylinderTable {
public:
    static constexpr int kStepsPerPixel = 4;

    // The layers at a point across the cylinder: how far back along the pull each one's paper
    // lies, the back's tint and the front's shade (0 to 256).
    struct Entry {
        double upperShift, lowerShift;
        CAPageCurlTint upperTint;
        uint32_t lowerShade;
    };
    // The same with the shifts as offsets in x and y from a pixel to its paper, 16.16.
    struct FixedEntry {
        int32_t upperX, upperY, lowerX, lowerY;
        uint32_t keep, white, shade;
    };

    // The table for a cylinder of `radius` under a pull toward (ux, uy).
    CAPageCurlCylinderTable(double radius, double ux, double uy);
    CAPageCurlCylinderTable(const CAPageCurlCylinderTable&) = delete;
    CAPageCurlCylinderTable& operator=(const CAPageCurlCylinderTable&) = delete;

    // The layers at `along` in [-r, 0] (clamped).
    Entry at(double along) const;

    // The layers at f = (along + r) kStepsPerPixel, 16.16, which must lie in [0, 4r]: the upper
    // layer's offset interpolated, for its paper is sampled bilinearly, and the rest the nearest
    // entry's, as the lower layer's paper, nearly hidden, is read from its nearest pixel.
    FixedEntry atFixed(int32_t f) const {
        const auto i = size_t(f >> 16);
        const int32_t k = (f >> 8) & 0xFF;
        const FixedEntry& a = fixed_[i];
        const FixedEntry& b = fixed_[i + 1];
        FixedEntry e = k < 128 ? a : b;
        e.upperX = a.upperX + (((b.upperX - a.upperX) * k) >> 8);
        e.upperY = a.upperY + (((b.upperY - a.upperY) * k) >> 8);
        return e;
    }

    // The fixed entries as columns for the cylinder's row kernel, with, for an opaque page, the
    // back at its opacity over the front as one mix (CAPixelCurlTable).
    const CAPixelCurlTable& columns() const { return columns_; }

private:
    double radius_;
    std::vector<Entry> entries_;
    std::vector<FixedEntry> fixed_;
    std::vector<int32_t> offsets_[4];
    std::vector<uint32_t> weights_, whites_;
    CAPixelCurlTable columns_;
};
