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

// The vault dial's frame on a screen of `screen`: centred across, its middle 10 points above the
// screen's middle. On a 320 × 480 screen this is (24, 75, 272, 310), the dial between the date
// and the unlock bar; a larger screen, or a tablet in either orientation, keeps it there
// relative to its centre, inside the screen and below the date.
CGRect CVVaultFrame(CGSize screen);

// The overlay's colour: black with alpha `overlayTransparency`, narrowed to a 32-bit float.
UIColorRef CVOverlayColor(double overlayTransparency);
