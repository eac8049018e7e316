// What a person does at the window, saved as a script: each touch and key after a wait of
// exactly the time that passed, in numbers the script reads back exactly, and only the keys a
// script can name.

#include "sim/device/ScriptSaver.h"

#include "sim/device/ScriptParser.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

using std::chrono::microseconds;

class CountingDevice : public ScreenWindowDevice {
public:
    CGImageRef renderScreen() override { return nullptr; }
    void touch(UITouchPhase, const std::vector<CGPoint>& points) override { touches.push_back(points); }
    void key(int keyCode) override { keys.push_back(keyCode); }
    std::vector<std::vector<CGPoint>> touches;
    std::vector<int> keys;
};

TEST(ScriptSaver, WritesEachInputAfterTheExactTimeThatPassed) {
    CountingDevice device;
    std::ostringstream out;
    ClockTime now{5000};
    ScriptSaver saver(device, out, [&] { return now; });
    saver.begin({"device iphone-430", "passcode on"});
    now += microseconds(723695);
    saver.touch(UITouchPhaseBegan, {CGPointMake(160.25f, 240.1f)});
    now += microseconds(16667);
    saver.touch(UITouchPhaseMoved, {CGPointMake(170, 240), CGPointMake(1.0f / 3, 2)});
    saver.touch(UITouchPhaseEnded, {});
    now += microseconds(2000000);
    saver.key('L');
    saver.key(27);
    saver.key(0x4000004F);  // an arrow key: nothing a script can name, but the device still gets it
    EXPECT_EQ(out.str(),
              "# What a person did at corvane-sim's window; corvane-sim --script replays it.\n"
              "device iphone-430\npasscode on\nboot\n"
              "wait 723.695\ndown 160.25 240.100006\n"
              "wait 16.667\nmove 170 240 0.333333343 2\nup\n"
              "wait 2000\nkey l\nkey escape\n");
    EXPECT_EQ(device.touches.size(), 3u);
    EXPECT_EQ(device.keys, (std::vector<int>{'L', 27, 0x4000004F}));
    EXPECT_FALSE(saver.failed());

    // Read back, every number is the float or the microsecond it was.
    const auto numbersOf = [](const char* line) {
        const auto parsed = parseScriptLine(line, 1);
        return parsed.command ? parsed.command->numbers : std::vector<double>{};
    };
    const auto down = numbersOf("down 160.25 240.100006");
    ASSERT_EQ(down.size(), 2u);
    EXPECT_EQ(static_cast<float>(down[1]), 240.1f);
    const auto move = numbersOf("move 170 240 0.333333343 2");
    ASSERT_EQ(move.size(), 4u);
    EXPECT_EQ(static_cast<float>(move[2]), 1.0f / 3);
    const auto wait = numbersOf("wait 16.667");
    ASSERT_EQ(wait.size(), 1u);
    EXPECT_EQ(clockTimeFromSeconds(wait[0] / 1000.0), microseconds(16667));
    EXPECT_TRUE(parseScriptLine("key escape", 1).command);
}

TEST(ScriptSaver, SaysWhenItCannotWrite) {
    CountingDevice device;
    std::ostringstream out;
    out.setstate(std::ios::badbit);
    ScriptSaver saver(device, out, [] { return ClockTime{0}; });
    saver.begin({});
    EXPECT_TRUE(saver.failed());
}

}  // namespace
