#include "sim/device/ScriptSaver.h"

#include "sim/device/DeviceKeys.h"

#include <algorithm>
#include <cstdio>

namespace {

// A number as the script reads it back exactly: a point of the screen (a 32-bit float), or
// milliseconds with their microseconds.
std::string number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.9g", value);
    return text;
}

std::string milliseconds(ClockTime time) {
    const auto micro = time.count();
    char text[32];
    std::snprintf(text, sizeof text, "%lld.%03lld", static_cast<long long>(micro / 1000),
                  static_cast<long long>(micro % 1000));
    std::string result = text;
    // "12.000" is "12", "12.500" is "12.5".
    while (result.back() == '0') result.pop_back();
    if (result.back() == '.') result.pop_back();
    return result;
}

const char* verbOf(UITouchPhase phase) {
    switch (phase) {
        case UITouchPhaseBegan: return "down";
        case UITouchPhaseMoved: return "move";
        case UITouchPhaseEnded: return "up";
        default: return "cancel";
    }
}

}  // namespace

ScriptSaver::ScriptSaver(ScreenWindowDevice& device, std::ostream& out, std::function<ClockTime()> now)
    : device_(device), out_(out), now_(std::move(now)) {}

void ScriptSaver::begin(const std::vector<std::string>& setUp) {
    out_ << "# What a person did at corvane-sim's window; corvane-sim --script replays it.\n";
    for (const auto& line : setUp) out_ << line << '\n';
    out_ << "boot\n";
    out_.flush();
    failed_ = failed_ || !out_;
    last_ = now_();
}

void ScriptSaver::write(const std::string& line) {
    const ClockTime now = now_();
    if (now > last_) out_ << "wait " << milliseconds(now - last_) << '\n';
    last_ = std::max(now, last_);
    out_ << line << '\n';
    out_.flush();
    failed_ = failed_ || !out_;
}

void ScriptSaver::touch(UITouchPhase phase, const std::vector<CGPoint>& points) {
    std::string line = verbOf(phase);
    // Lifting and cancelling name no points.
    if (phase == UITouchPhaseBegan || phase == UITouchPhaseMoved) {
        for (const CGPoint& p : points) {
            line.append(1, ' ').append(number(p.x)).append(1, ' ').append(number(p.y));
        }
    }
    write(line);
    device_.touch(phase, points);
}

void ScriptSaver::key(int keyCode) {
    const std::string name = deviceKeyName(keyCode);
    if (!name.empty()) write(std::string("key ").append(name));
    device_.key(keyCode);
}
