#include "tweak/views/AddonGeometry.h"

namespace {

constexpr CGFloat kBadgeLong = 100;    // the side that points along the pull
constexpr CGFloat kBadgeShort = 80;    // the side across it
constexpr CGFloat kBadgeShowing = 50;  // how much of the badge stays on screen
constexpr CGRect kVaultFrame{{24, 75}, {272, 310}};

std::string badgePath(std::string_view design, std::string_view direction) {
    std::string path = "/Library/Corvane/CRVBadge";
    path += design;
    path += direction;
    path += ".png";
    return path;
}

}  // namespace

std::optional<CVBadgePlacement> CVBadgePlacementFor(CVPullDirection pullDirection,
                                                    std::string_view design, CGRect screenBounds) {
    const CGFloat w = screenBounds.size.width;
    const CGFloat h = screenBounds.size.height;
    switch (pullDirection) {
        case CVPullDirection::Up:  // pulled up: centred, its top half showing at the bottom edge
            return CVBadgePlacement{
                badgePath(design, "Up"),
                CGRectMake(w / 2 - kBadgeShort / 2, h - kBadgeShowing, kBadgeShort, kBadgeLong)};
        case CVPullDirection::Right:  // pulled right: its right half showing at the left edge
            return CVBadgePlacement{
                badgePath(design, "Right"),
                CGRectMake(-kBadgeShowing, h / 2 - kBadgeShort / 2, kBadgeLong, kBadgeShort)};
        case CVPullDirection::Left:  // pulled left: its left half showing at the right edge
            return CVBadgePlacement{
                badgePath(design, "Left"),
                CGRectMake(w - kBadgeShowing, h / 2 - kBadgeShort / 2, kBadgeLong, kBadgeShort)};
        default:
            return std::nullopt;
    }
}

CGRect CVVaultFrame(CGSize screen) {
    // On 320 × 480 the dial's middle lies at (160, 230): 10 points above the screen's middle.
    constexpr CGFloat kAboveMiddle = 10;
    const CGSize dial = kVaultFrame.size;
    return CGRectMake((screen.width - dial.width) / 2,
                      screen.height / 2 - kAboveMiddle - dial.height / 2, dial.width, dial.height);
}

UIColorRef CVOverlayColor(double overlayTransparency) {
    return UIColor::blackColor()->colorWithAlphaComponent(static_cast<float>(overlayTransparency));
}
