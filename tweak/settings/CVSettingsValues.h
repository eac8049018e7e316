#pragma once

// The values of the enumerated options. The settings file stores them as integers, and a value
// outside the listed ones is kept exactly as stored: it has a meaning of its own (an unknown
// unlock type builds no add-on, a pull direction of 3 builds no badge, a release animation of 2
// leaves the image where the finger left it), so nothing is clamped.

#include <cstdint>
#include <optional>
#include <string_view>

// The unlock gesture.
enum class CVUnlockType : std::int32_t {
    Drag = 0,       // drag the whole lock-screen image
    Overlay = 1,    // drag a translucent black overlay off the lock screen
    Pinch = 2,      // pinch the lock screen
    Peel = 3,       // peel the lock screen back like a page
    PullBadge = 4,  // pull a badge off the screen edge, then drag the lock screen
    Rotate = 5,     // rotate the lock screen
    Vault = 6,      // turn a vault dial
};

// Which way the lock-screen image (drag) or the overlay may be dragged; every value from 6 up
// means left or right, and a negative one counts as vertical.
enum class CVUnlockDirection : std::int32_t {
    Any = 0,
    Up = 1,
    Down = 2,
    UpOrDown = 3,
    Left = 4,
    Right = 5,
    LeftOrRight = 6,
};

// Whether a drag in `direction` moves the image along x: any direction, or the horizontal ones.
inline bool CVFollowsHorizontally(CVUnlockDirection direction) {
    return direction == CVUnlockDirection::Any || static_cast<int>(direction) >= 4;
}
// Whether a drag in `direction` moves the image along y: any direction, or the vertical ones.
inline bool CVFollowsVertically(CVUnlockDirection direction) {
    return static_cast<int>(direction) <= 3;
}
// Whether `direction` belongs to the horizontal family (left, right, left or right).
inline bool CVIsHorizontal(CVUnlockDirection direction) {
    return static_cast<int>(direction) >= 4;
}

// How the lock-screen image leaves when a drag unlocks.
enum class CVUnlockAnimation : std::int32_t {
    Fade = 0,                       // fade out while continuing the last finger step
    Slide = 1,                      // slide off the screen along the allowed axis
    SlideAndFadeWhileDragging = 2,  // slide, and fade with the distance while dragged
};

// How the dragged image returns when the finger lifts short of the threshold; any other value
// leaves it where the finger left it.
enum class CVReleaseAnimation : std::int32_t {
    SlideBack = 0,
    Elastic = 1,  // overshoot the resting place and swing back
};

// In which direction a peel is accepted; any other value accepts none.
enum class CVPageTurnDirection : std::int32_t {
    Left = 0,
    Right = 1,
    Any = 2,
};

// Where the pull badge sits and which way it is pulled; any other value builds no badge.
enum class CVPullDirection : std::int32_t {
    Up = 0,     // centred on the bottom edge, pulled upwards
    Right = 1,  // half past the left edge, pulled to the right
    Left = 2,   // half past the right edge, pulled to the left
};

// The badge artwork, by the integer the settings file stores; the record holds its name.
enum class CVBadgeDesign : std::int32_t {
    Red = 0,
    Cloth = 1,
    Grey = 2,
    Custom = 3,  // tinted with the badge colour
    Vellum = 4,
};

// The name of `design` ("Red", "Cloth", "Grey", "Custom", "Vellum"); none for any other value.
inline std::optional<std::string_view> CVBadgeDesignName(CVBadgeDesign design) {
    constexpr std::string_view kNames[] = {"Red", "Cloth", "Grey", "Custom", "Vellum"};
    const auto index = static_cast<std::int32_t>(design);
    if (index < 0 || index >= static_cast<std::int32_t>(std::size(kNames))) return std::nullopt;
    return kNames[index];
}
