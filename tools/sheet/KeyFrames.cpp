#include "tools/sheet/KeyFrames.h"

#include <algorithm>

namespace {

// Where each frame starts on the sheet's time line, on which a frame lasts at most `longest`.
std::vector<double> weightedStarts(const std::vector<std::chrono::milliseconds>& starts,
                                   std::chrono::milliseconds longest) {
    std::vector<double> weighted{0};
    for (size_t i = 1; i < starts.size(); ++i) {
        const auto lasted = std::min(starts[i] - starts[i - 1], longest);
        weighted.push_back(weighted.back() + static_cast<double>(lasted.count()));
    }
    return weighted;
}

}  // namespace

std::vector<int> keyFrameIndices(const std::vector<std::chrono::milliseconds>& starts, int count,
                                 std::chrono::milliseconds longest) {
    const int frames = static_cast<int>(starts.size());
    const int shown = std::min(frames, count);
    if (shown <= 0) return {};
    if (shown == 1) return {0};
    const auto weighted = weightedStarts(starts, longest);
    std::vector<int> indices;
    for (int i = 0; i < shown; ++i) {
        const double at = weighted.back() * i / (shown - 1);
        // The frame showing at `at`, but after the one picked before and leaving a frame for
        // each pick still to come.
        int index = static_cast<int>(std::upper_bound(weighted.begin(), weighted.end(), at) -
                                     weighted.begin()) -
                    1;
        if (!indices.empty()) index = std::max(index, indices.back() + 1);
        indices.push_back(std::min(index, frames - (shown - i)));
    }
    return indices;
}

std::vector<WebPAnimationFrame> readFrames(WebPAnimationReader& reader,
                                           const std::vector<int>& indices) {
    std::vector<WebPAnimationFrame> kept;
    int index = 0;
    for (int wanted : indices) {
        std::optional<WebPAnimationFrame> frame;
        while (index <= wanted && (frame = reader.next())) ++index;
        if (!frame) break;
        kept.push_back(std::move(*frame));
    }
    return kept;
}
