#pragma once

// A recording of a simulated screen as a script runs: the screen sampled at a steady rate of
// clock time and written as an animated WebP picture when the recording ends.

#include "platform/foundation/Clock.h"
#include "platform/graphics/CGImage.h"

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>

class WebPAnimationWriter;

struct AnimationRecordingOptions {
    // Regular frames a second of clock time.
    int framesPerSecond = 30;
    // Taller screens (a scale above 1, a tablet) are scaled down to this many pixels high.
    int maxHeight = 480;
};

// Why a frame is taken: the clock reached a frame time, or an input (a touch) changed the screen
// without the clock moving.
enum class FrameCause { Clock, Input };

class AnimationRecorder {
public:
    // Told after each frame kept: how many there are and how long the recording now runs.
    using FrameObserver = std::function<void(int frames, ClockTime length)>;

    // A recording that will be written to `file`.
    explicit AnimationRecorder(std::filesystem::path file, AnimationRecordingOptions options = {});
    ~AnimationRecorder();
    AnimationRecorder(const AnimationRecorder&) = delete;
    AnimationRecorder& operator=(const AnimationRecorder&) = delete;

    // The clock time at which the next regular frame is due: the first tick of the frame rate,
    // counted from the first frame, after the last frame. Never, before the first frame.
    ClockTime nextFrameTime() const;

    // Adds the screen as drawn at clock `time` (no earlier than the last frame's), taken because
    // `cause` happened; a null picture adds nothing but the time. The first frame starts the
    // recording. A frame that comes less than three quarters of an interval after the one
    // before replaces that frame's picture, so that the rate stays steady however often the
    // fingers move; but an input at the same time as the input before it gets an interval of
    // its own, lengthening the recording, so that touches made in no time still show.
    void addFrame(const CGImageRef& screen, ClockTime time, FrameCause cause = FrameCause::Clock);

    // Forgets every frame so far: the next frame starts the recording afresh.
    void restart();

    // Writes the file, the last frame shown for one interval; the error, empty when written.
    // Nothing is added after.
    std::string finish();

    // The frames kept so far, and how long the recording runs with them.
    int frameCount() const { return frames_; }
    ClockTime length() const;

    // Calls `observer` after each frame kept (a progress line).
    void setFrameObserver(FrameObserver observer) { observer_ = std::move(observer); }

private:
    struct HeldFrame {
        CGImageRef picture;
        ClockTime shownAt;  // from the start of the recording
    };

    ClockTime interval() const;
    // The clock time of tick `k` of the frame rate.
    ClockTime tick(long long k) const;
    // Moves the recording on to clock `time`; answers when a frame taken then is shown.
    ClockTime advanceTo(ClockTime time, FrameCause cause);
    // Keeps `picture` as the frame shown from `shownAt`, or as the held frame's picture when
    // that frame began less than most of an interval before.
    void keep(CGImageRef picture, ClockTime shownAt);
    // Hands `frame` to the encoder (made for the first frame's size).
    void write(const HeldFrame& frame);

    std::filesystem::path file_;
    AnimationRecordingOptions options_;
    std::unique_ptr<WebPAnimationWriter> writer_;
    std::optional<ClockTime> start_;      // the clock time of the first frame
    ClockTime last_{0};                   // the clock time of the last frame
    std::optional<ClockTime> lastInput_;  // the clock time of the last input's frame
    ClockTime delay_{0};                  // what frames of their own have added to the recording
    // The newest frame is held back until the next one shows how long it lasts.
    std::optional<HeldFrame> held_;
    int frames_ = 0;
    int width_ = 0, height_ = 0;  // of the first frame, which every frame shares
    std::string error_;
    FrameObserver observer_;
};
