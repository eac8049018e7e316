#pragma once

// What a person does at the device's window, written down as a script: the device's set-up, the
// boot, then every touch (one finger or two, down, moved, lifted) and every key the device takes,
// each after a wait of exactly the time that passed. `corvane-sim --script` replays it on its own
// clock to the same unlock and the same events: a gesture made by hand becomes a test.

#include "platform/foundation/Clock.h"
#include "sim/device/ScreenWindow.h"

#include <functional>
#include <ostream>
#include <string>
#include <vector>

class ScriptSaver final : public ScreenWindowDevice {
public:
    // Passes everything on to `device` after writing it to `out`, timed by `now` from the boot.
    ScriptSaver(ScreenWindowDevice& device, std::ostream& out, std::function<ClockTime()> now);

    // Writes the lines that set the device up and boot it (`setUp` without a line break each,
    // then "boot"); the times of what follows count from now.
    void begin(const std::vector<std::string>& setUp);
    // Whether a line could not be written.
    bool failed() const { return failed_; }

    CGImageRef renderScreen() override { return device_.renderScreen(); }
    void touch(UITouchPhase phase, const std::vector<CGPoint>& points) override;
    void key(int keyCode) override;

private:
    // Writes the wait from the last line to now, then `line`.
    void write(const std::string& line);

    ScreenWindowDevice& device_;
    std::ostream& out_;
    std::function<ClockTime()> now_;
    ClockTime last_{0};
    bool failed_ = false;
};
