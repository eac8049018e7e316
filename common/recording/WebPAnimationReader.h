#pragma once

// The frames of an animated WebP picture, decoded one after another with libwebp's animation
// decoder: the recordings of corvane-sim as a test or the contact sheet reads them back.

#include "platform/graphics/CGImage.h"

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

struct WebPAnimDecoder;

// One frame: the whole picture as it shows from `start` until `end` after the animation begins.
struct WebPAnimationFrame {
    CGImageRef image;
    std::chrono::milliseconds start{0}, end{0};
};

class WebPAnimationReader {
public:
    // Opens `file`; error() says why when it is missing or not an animated WebP picture.
    explicit WebPAnimationReader(const std::filesystem::path& file);
    ~WebPAnimationReader();
    WebPAnimationReader(const WebPAnimationReader&) = delete;
    WebPAnimationReader& operator=(const WebPAnimationReader&) = delete;

    // Why the file cannot be read; empty when it can.
    const std::string& error() const { return error_; }
    // The picture's size in pixels and its frame count; zero when the file cannot be read.
    int width() const { return width_; }
    int height() const { return height_; }
    int frameCount() const { return static_cast<int>(starts_.size()); }
    // When each frame starts, read from the file without decoding any picture.
    const std::vector<std::chrono::milliseconds>& frameStarts() const { return starts_; }
    // When the last frame ends.
    std::chrono::milliseconds duration() const { return duration_; }

    // The next frame in order; none after the last one, or when a frame does not decode.
    std::optional<WebPAnimationFrame> next();

private:
    void readTiming();

    std::vector<uint8_t> bytes_;  // the decoder reads from these
    WebPAnimDecoder* decoder_ = nullptr;
    std::string error_;
    int width_ = 0, height_ = 0;
    std::vector<std::chrono::milliseconds> starts_;
    std::chrono::milliseconds duration_{0}, lastEnd_{0};
};
