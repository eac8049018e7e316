#pragma once

// Where the lock-screen add-ons go and how they look: the pull badge, the vault dial and the
// transparent overlay. The snapshot view and the session controller both build these add-ons,
// so the numbers live here once.

#include "platform/graphics/CGGeometry.h"
#include "platform/uikit/UIColor.h"
#include "tweak/settings/CVSettingsValues.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The vault dial's image (a device path).
inline constexpr const char* kCVVaultImagePath = "/Library/Corvane/vault.png";

// The pull badge of one pull direction: its image file (a device path) and its frame.
struct CVBadgePlacement {
    std::string imagePath;
    CGRect frame;
};

// The badge for `pullDirection` (up, right or left) of the design named `design`, placed half
// off the matching edge of a screen of `screenBounds` (only its size counts); none for any other
// direction.
std::optional<CVBadgePlacement> CVBadgePlacementFor(CVPullDirection pullDirection,
                                                    std::string_view design, CGRect screenBounds);

// The vault dial's frame: fixed on every model but "iPad" (exactly), where its top-left corner
// sits at the centre of a host of `hostSize`.
CGRect CVVaultFrame(std::string_view deviceModel, CGSize hostSize);

// The overlay's colour: black with alpha `overlayTransparency`, narrowed to a 32-bit float.
UIColorRef CVOverlayColor(double overlayTransparency);
