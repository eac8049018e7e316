#include "sim/device/WindowLayout.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kMargin = 0.92;    // of the usable area, left for the window's frame and a gap
constexpr int kGap = 16;            // between two windows side by side
constexpr double kLargestScale = 3;  // more makes a phone the size of a poster

}  // namespace

WindowLayout layoutWindow(CGSize points, WindowRect usable, WindowPlacement placement) {
    const bool sideBySide = placement != WindowPlacement::Centre;
    const double width = sideBySide ? usable.width / 2.0 - kGap : usable.width;
    const double fit = std::min(kMargin * width / points.width, kMargin * usable.height / points.height);
    const double scale = fit >= 1 ? std::min(std::floor(fit), kLargestScale) : std::max(fit, 0.1);
    WindowLayout layout{{0, 0, static_cast<int>(std::lround(points.width * scale)),
                         static_cast<int>(std::lround(points.height * scale))},
                        scale};
    const int middle = usable.x + usable.width / 2;
    switch (placement) {
        case WindowPlacement::Centre: layout.frame.x = middle - layout.frame.width / 2; break;
        case WindowPlacement::Left: layout.frame.x = middle - kGap / 2 - layout.frame.width; break;
        case WindowPlacement::Right: layout.frame.x = middle + kGap / 2; break;
    }
    layout.frame.y = usable.y + (usable.height - layout.frame.height) / 2;
    return layout;
}
