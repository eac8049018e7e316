#include "sim/device/RecordingProgress.h"

#include <unistd.h>

#include <cstdio>
#include <iostream>

RecordingProgress::RecordingProgress(std::ostream* out, std::string name)
    : out_(out), name_(std::move(name)) {}

void RecordingProgress::update(int frames, ClockTime length) {
    if (!out_) return;
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%.1f", secondsFromClockTime(length));
    // Back to the start of the line, the new text, then clear what a longer old text left.
    *out_ << "\rrecording " << name_ << ": " << seconds << " s, " << frames
          << (frames == 1 ? " frame" : " frames") << "\x1b[K" << std::flush;
    written_ = true;
}

void RecordingProgress::finish() {
    if (out_ && written_) *out_ << "\n" << std::flush;
    written_ = false;
}

std::ostream* RecordingProgress::terminalOrNull() {
    return ::isatty(STDERR_FILENO) ? &std::cerr : nullptr;
}
