#pragma once

// A contact sheet: key frames of recordings laid out in rows, one row a recording, each row
// labelled and each frame captioned with the time at which it shows.

#include "platform/graphics/CGGeometry.h"
#include "platform/graphics/CGImage.h"
#include "common/recording/WebPAnimationReader.h"

#include <chrono>
#include <string>
#include <vector>

struct ContactSheetRow {
    std::string label;
    std::chrono::milliseconds length{0};  // of the whole recording
    std::vector<WebPAnimationFrame> frames;
};

// Sizes in pixels.
struct ContactSheetLayout {
    CGFloat frameHeight = 240;
    CGFloat labelWidth = 120;
    CGFloat captionHeight = 22;
    CGFloat gap = 10;
};

// The rows one under another on a dark ground: each row's label and length on the left, then its
// frames scaled to the layout's frame height, each captioned with its start in milliseconds.
// Null when there is nothing to draw.
CGImageRef drawContactSheet(const std::vector<ContactSheetRow>& rows,
                            const ContactSheetLayout& layout = {});
