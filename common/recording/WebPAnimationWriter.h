#pragma once

// An animated WebP picture built frame by frame with libwebp's animation encoder. Each frame is
// compressed as it is added, so a long recording holds only the encoder's working pictures.

#include "platform/graphics/CGImage.h"

#include <chrono>
#include <filesystem>
#include <string>

struct WebPAnimEncoder;

// How the frames are compressed. Lossy coding at quality 80 keeps a recording of a moving
// screen small (a turning dial is a fifth of its lossless size) with text still sharp at the
// screen's size; frame to frame the encoder stores only the rectangle that changed.
struct WebPAnimationCompression {
    bool lossless = false;
    // 0 to 100: the picture quality of lossy coding, or the effort of lossless coding.
    float quality = 80;
    // 0 (fastest) to 6 (smallest); 2 is about half the time of 4 for a few percent more bytes.
    int method = 2;
    // At most this many frames from one whole frame to the next. Between whole frames a lossy
    // encoder keeps pixels that changed only a little, and on a slowly turning gradient those
    // pile up into visible blocks; a whole frame every five clears them for 3% more bytes.
    int keyFrameInterval = 5;
};

class WebPAnimationWriter {
public:
    // An animation of `width` × `height` pixels that repeats for ever.
    WebPAnimationWriter(int width, int height, WebPAnimationCompression compression = {});
    ~WebPAnimationWriter();
    WebPAnimationWriter(const WebPAnimationWriter&) = delete;
    WebPAnimationWriter& operator=(const WebPAnimationWriter&) = delete;

    // Adds `image`, shown from `start` after the animation begins until the next frame's start.
    // The image must be exactly the animation's size; where it is not opaque it shows over
    // black. Starts must not go backwards. False (with error()) when the frame is refused.
    bool add(const CGImageRef& image, std::chrono::milliseconds start);
    // Ends the last frame at `end` and writes the animation to `file`; the error text, empty
    // when the file was written. The last frame is stored whole, so that the picture a
    // recording ends on (and holds) is the last one added, whatever the frames before left.
    // Nothing can be added after.
    std::string finish(std::chrono::milliseconds end, const std::filesystem::path& file);
    // Why the last add or finish failed; empty when nothing failed.
    const std::string& error() const { return error_; }

private:
    int width_, height_;
    WebPAnimationCompression compression_;
    WebPAnimEncoder* encoder_;
    CGImageRef last_;  // the last frame added, stored whole at the end
    std::string error_;
};
