#pragma once

// The geometry the drag and overlay modes share: which axis follows the finger, the clamps of
// the one-way directions, the limits past which a drag unlocks, and the fade with the distance.

#include "platform/graphics/CGGeometry.h"
#include "tweak/settings/CVSettingsValues.h"

// Points right, left and up, and points down, that a drag must pass, times the drag distance.
inline constexpr double kCVDragLimitInPoints = 180;
inline constexpr double kCVDragDownLimitInPoints = 135;

// `origin` moved by the finger's step from `start` to `current` on the axes `direction` allows,
// then held at 0 on the side a one-way direction forbids.
CGPoint CVDraggedOrigin(CGPoint origin, CGPoint current, CGPoint start,
                        CVUnlockDirection direction);

// Whether `origin` lies strictly beyond a limit scaled by `dragDistance`, compared in double.
bool CVBeyondDragLimit(CGPoint origin, double dragDistance);

// The opacity of an image dragged to `origin` when it fades with the distance: the larger offset
// decides, and the value is not clamped (below 0 the image is simply invisible). A drag distance
// of 0 divides by nothing: any offset reads as fully faded, none as fully shown.
float CVDragFadeAlpha(CGPoint origin, double dragDistance);
