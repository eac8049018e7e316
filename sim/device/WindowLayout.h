#pragma once

// Where a device's window goes on the monitor and how large: the screen at a comfortable whole
// number of window pixels a point, or scaled down when even one does not fit. Two devices can
// share a monitor, one left of its centre and one right.

#include "platform/graphics/CGGeometry.h"

enum class WindowPlacement { Centre, Left, Right };

struct WindowRect {
    int x, y, width, height;
};

struct WindowLayout {
    WindowRect frame;   // in the monitor's coordinates
    double scale;       // window pixels per screen point
};

// The window for a screen of `points` on a monitor whose usable area is `usable`.
WindowLayout layoutWindow(CGSize points, WindowRect usable, WindowPlacement placement);
