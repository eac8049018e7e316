#pragma once

// Which frames of a recording a contact sheet shows. A recording keeps a frame only where the
// picture changed, and one frame stands for however long the picture held still.

#include "common/recording/WebPAnimationReader.h"

#include <chrono>
#include <vector>

// The indices of `count` different frames of a recording whose frames start at `starts`,
// spread evenly over its time from the first frame's start to the last frame's, both included.
// A frame that holds still counts for at most `longest`, so that the sheet follows what moves
// and still catches a picture that stays a while. Every frame when there are no more than
// `count`; none for no frames.
std::vector<int> keyFrameIndices(
    const std::vector<std::chrono::milliseconds>& starts, int count,
    std::chrono::milliseconds longest = std::chrono::milliseconds(250));

// Decodes the frames of `reader` in order and keeps those at `indices` (ascending); fewer when a
// frame does not decode.
std::vector<WebPAnimationFrame> readFrames(WebPAnimationReader& reader,
                                           const std::vector<int>& indices);
