#pragma once

// One line on a terminal telling how far a recording has got, rewritten in place as frames
// come: "recording drag.sim: 2.4 s, 72 frames".

#include "platform/foundation/Clock.h"

#include <ostream>
#include <string>

class RecordingProgress {
public:
    // Reports on `out` the recording of `name`; a null `out` reports nothing.
    RecordingProgress(std::ostream* out, std::string name);

    // Rewrites the line with the recording's frame count and length.
    void update(int frames, ClockTime length);
    // Ends the line, if one was written, so that what follows starts on a fresh line.
    void finish();

    // Standard error when it is a terminal; null otherwise (a log or a pipe gets no progress).
    static std::ostream* terminalOrNull();

private:
    std::ostream* out_;
    std::string name_;
    bool written_ = false;
};
