#include "platform/quartz/CAPageCurlCylinder.h"

#include "platform/quartz/CAPageCurlGeometry.h"

#include <algorithm>
#include <cmath>

uint32_t CAPageCurlWeight(double k) {
    return uint32_t(std::clamp(k, 0.0, 1.0) * 256 + 0.5);
}

CAPageCurlTint CAPageCurlBackTint(double shade, double gloss) {
    const double white = kCAPageCurlBackWhite / 256.0;
    const uint32_t keep = CAPageCurlWeight((1 - white) * shade * (1 - gloss));
    // Rounded apart, the two could add up to one more than 256.
    return {keep, std::min(256 - keep, CAPageCurlWeight(white * shade * (1 - gloss) + gloss))};
}

namespace {

using Entry = CAPageCurlCylinderTable::Entry;

// The layers at `along`, exactly.
Entry entryAt(double along, double radius) {
    const CAPageCurlCover cover = CAPageCurlCoverAt(along, radius);
    return {
        along + cover.upperArc, along + cover.lowerArc,
        CAPageCurlBackTint(CAPageCurlBackShade(along, radius), CAPageCurlBackGloss(along, radius)),
        CAPageCurlWeight(CAPageCurlFrontShade(along, radius))};
}

int32_t toFixed(double v) {
    return int32_t(std::lround(v * 65536));
}

}  // namespace

CAPageCurlCylinderTable::CAPageCurlCylinderTable(double radius, double ux, double uy)
    : radius_(radius) {
    // The back at its opacity keeps this much of what lies under it (CAPageCurlPixels::over);
    // the mix's weights are rounded down, so that no channel's sum can pass 255 << 8.
    const uint32_t backAlpha = (255 * kCAPageCurlBackOpacity) >> 8;
    const uint32_t through = 256 - backAlpha - (backAlpha >> 7);
    const double back = kCAPageCurlBackOpacity / 256.0;
    const int n = int(std::ceil(radius * kStepsPerPixel)) + 2;
    for (int i = 0; i < n; ++i) {
        const Entry e = entryAt(std::min(0.0, -radius + double(i) / kStepsPerPixel), radius);
        entries_.push_back(e);
        const FixedEntry x = {toFixed(-e.upperShift * ux),
                              toFixed(-e.upperShift * uy),
                              toFixed(-e.lowerShift * ux),
                              toFixed(-e.lowerShift * uy),
                              e.upperTint.keep,
                              e.upperTint.white,
                              e.lowerShade};
        fixed_.push_back(x);
        const int32_t offsets[] = {x.upperX, x.upperY, x.lowerX, x.lowerY};
        for (int j = 0; j < 4; ++j) offsets_[j].push_back(offsets[j]);
        const auto mixUpper = uint32_t(x.keep * back);
        const uint32_t mixLower = x.shade * through / 256;
        weights_.push_back(mixUpper | mixLower << 8 | x.shade << 16);
        whites_.push_back(uint32_t(255 * x.white * back + 128));
    }
    columns_ = {offsets_[0].data(), offsets_[1].data(), offsets_[2].data(),
                offsets_[3].data(), weights_.data(),    whites_.data()};
}

CAPageCurlCylinderTable::Entry CAPageCurlCylinderTable::at(double along) const {
    const double f =
        std::clamp((along + radius_) * kStepsPerPixel, 0.0, double(entries_.size() - 2));
    const auto i = size_t(f);
    const double k = f - double(i);
    const Entry& a = entries_[i];
    const Entry& b = entries_[i + 1];
    const Entry& nearest = k < 0.5 ? a : b;
    return {a.upperShift + (b.upperShift - a.upperShift) * k,
            a.lowerShift + (b.lowerShift - a.lowerShift) * k, nearest.upperTint,
            nearest.lowerShade};
}
