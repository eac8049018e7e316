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

CGRect CVVaultFrame(std::string_view deviceModel, CGSize hostSize) {
    if (deviceModel != "iPad") return kVaultFrame;
    return CGRectMake(hostSize.width / 2, hostSize.height / 2, kVaultFrame.size.width,
                      kVaultFrame.size.height);
}

UIColorRef CVOverlayColor(double overlayTransparency) {
    return UIColor::blackColor()->colorWithAlphaComponent(static_cast<float>(overlayTransparency));
}
