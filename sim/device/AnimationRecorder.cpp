#include "sim/device/AnimationRecorder.h"

#include "common/recording/WebPAnimationWriter.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr long long kMicrosecondsPerSecond = 1'000'000;

// `image` scaled down to `maxHeight` pixels high, keeping its shape; the image itself when it is
// no taller.
CGImageRef fitToHeight(const CGImageRef& image, int maxHeight) {
    const auto width = static_cast<double>(CGImageGetWidth(image));
    const auto height = static_cast<double>(CGImageGetHeight(image));
    if (height <= maxHeight) return image;
    const int fittedWidth = std::max(1, static_cast<int>(std::lround(width * maxHeight / height)));
    cairo_surface_t* fitted =
        cairo_image_surface_create(CAIRO_FORMAT_ARGB32, fittedWidth, maxHeight);
    cairo_t* cr = cairo_create(fitted);
    cairo_scale(cr, fittedWidth / width, maxHeight / height);
    cairo_set_source_surface(cr, image->surface(), 0, 0);
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_GOOD);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_paint(cr);
    cairo_destroy(cr);
    return std::make_shared<const CGImage>(CairoSurfacePtr(fitted));
}

std::chrono::milliseconds roundedToMilliseconds(ClockTime time) {
    return std::chrono::round<std::chrono::milliseconds>(time);
}

}  // namespace

AnimationRecorder::AnimationRecorder(std::filesystem::path file, AnimationRecordingOptions options)
    : file_(std::move(file)), options_(options) {}

AnimationRecorder::~AnimationRecorder() = default;

void AnimationRecorder::restart() {
    writer_.reset();
    start_.reset();
    last_ = ClockTime(0);
    lastInput_.reset();
    delay_ = ClockTime(0);
    held_.reset();
    frames_ = 0;
    width_ = height_ = 0;
    error_.clear();
}

ClockTime AnimationRecorder::interval() const {
    return ClockTime(kMicrosecondsPerSecond / options_.framesPerSecond);
}

ClockTime AnimationRecorder::tick(long long k) const {
    const long long fps = options_.framesPerSecond;
    return *start_ + ClockTime((k * kMicrosecondsPerSecond + fps / 2) / fps);
}

ClockTime AnimationRecorder::nextFrameTime() const {
    if (!start_) return ClockTime::max();
    long long k = (last_ - *start_).count() * options_.framesPerSecond / kMicrosecondsPerSecond;
    while (tick(k) <= last_) ++k;
    return tick(k);
}

ClockTime AnimationRecorder::length() const {
    return held_ ? held_->shownAt + interval() : ClockTime(0);
}

void AnimationRecorder::addFrame(const CGImageRef& screen, ClockTime time, FrameCause cause) {
    if (!screen && !start_) return;
    const ClockTime shownAt = advanceTo(time, cause);
    if (screen) keep(fitToHeight(screen, options_.maxHeight), shownAt);
}

ClockTime AnimationRecorder::advanceTo(ClockTime time, FrameCause cause) {
    const bool inputInARow = cause == FrameCause::Input && lastInput_ == time;
    if (cause == FrameCause::Input) lastInput_ = time;
    if (!start_) {
        start_ = time;
    } else if (inputInARow) {
        delay_ += interval();
    }
    last_ = std::max(last_, time);
    return last_ - *start_ + delay_;
}

void AnimationRecorder::keep(CGImageRef picture, ClockTime shownAt) {
    if (!width_) {
        width_ = static_cast<int>(CGImageGetWidth(picture));
        height_ = static_cast<int>(CGImageGetHeight(picture));
    }
    if (held_ && shownAt - held_->shownAt < interval() * 3 / 4) {
        held_->picture = std::move(picture);
        return;
    }
    if (held_) write(*held_);
    held_ = HeldFrame{std::move(picture), shownAt};
    ++frames_;
    if (observer_) observer_(frames_, length());
}

void AnimationRecorder::write(const HeldFrame& frame) {
    if (!error_.empty()) return;
    if (!writer_) writer_ = std::make_unique<WebPAnimationWriter>(width_, height_);
    if (!writer_->add(frame.picture, roundedToMilliseconds(frame.shownAt)))
        error_ = writer_->error();
}

std::string AnimationRecorder::finish() {
    if (!held_) return error_.empty() ? "nothing was recorded: the device never booted" : error_;
    write(*held_);
    if (!error_.empty()) return error_;
    error_ = writer_->finish(roundedToMilliseconds(length()), file_);
    held_.reset();
    return error_;
}
