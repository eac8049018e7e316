#pragma once

// What a device's window lays over the screen: a panel of help text and the frame rate.

#include "platform/graphics/CGImage.h"

#include <string>
#include <vector>

struct WindowOverlayContent {
    std::vector<std::string> help;  // lines of the help panel; none hides it
    std::string frameRate;          // e.g. "60 fps"; empty hides it
    std::string touchWait;          // under it, e.g. "touch 12 ms"; empty for none
};

// A picture of `width`×`height` window pixels, transparent but for `content`; text is sized for
// `textScale` window pixels a point. Null when there is nothing to show.
CGImageRef drawWindowOverlay(int width, int height, double textScale,
                             const WindowOverlayContent& content);
