// Recording a script's run as an animated picture: the frames the runner hands the recorder as
// the clock advances and fingers move, and the WebP file read back with libwebp's decoder.

#include "sim/device/AnimationRecorder.h"
#include "sim/device/RecordingProgress.h"
#include "sim/device/ScriptRunner.h"
#include "common/recording/WebPAnimationReader.h"
#include "common/recording/WebPAnimationWriter.h"

#include "platform/foundation/RunLoop.h"
#include "tests/support/TemporaryRoot.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

using std::chrono::milliseconds;

// A SpringBoard whose screen is black with a white bar that grows by eight pixels each time the
// screen is drawn, so that no two frames are alike (the encoder would merge frames that are).
class BarHost : public SpringBoardHost {
public:
    void boot(const DeviceConfig& config, Trace&) override {
        width_ = static_cast<size_t>(config.screenWidth * config.screenScale);
        height_ = static_cast<size_t>(config.screenHeight * config.screenScale);
    }
    ScriptResult perform(const ScriptCommand&) override { return std::nullopt; }
    nlohmann::ordered_json dumpSettings() override { return nullptr; }
    nlohmann::ordered_json dumpViews() override { return nlohmann::ordered_json::array(); }
    nlohmann::ordered_json dumpSession() override { return nlohmann::ordered_json::object(); }
    bool snap(const std::filesystem::path&) override { return true; }

    CGImageRef renderScreen() override {
        const size_t bar = (++draws_ * 8) % width_;
        std::vector<CGImagePixel> pixels(width_ * height_, CGImagePixel{0, 0, 0, 255});
        for (size_t y = 0; y < height_; ++y) {
            for (size_t x = 0; x < bar; ++x) pixels[y * width_ + x] = {255, 255, 255, 255};
        }
        return CGImageCreateWithPixels(width_, height_, pixels);
    }

private:
    size_t width_ = 0, height_ = 0, draws_ = 0;
};

struct Recording : ::testing::Test {
    // Runs `script` recorded into the root's "run.webp"; the recorder's error, empty on success.
    std::string record(const std::string& script) {
        BarHost host;
        ScriptRunner runner{trace, host, root.path(), std::nullopt};
        AnimationRecorder recorder(file());
        runner.recordAnimation(recorder);
        status = runner.run(script);
        return recorder.finish();
    }
    std::filesystem::path file() const { return root.path() / "run.webp"; }

    // When each frame of the recording starts, in milliseconds.
    std::vector<long> starts() const {
        std::vector<long> result;
        const WebPAnimationReader reader(file());
        for (auto start : reader.frameStarts()) result.push_back(start.count());
        return result;
    }

    TemporaryRoot root;
    std::ostringstream out;
    Trace trace{out, [] { return RunLoop::main().now(); }};
    int status = -1;
};

TEST_F(Recording, SamplesThirtyFramesASecondOfClockTimeFromTheBoot) {
    ASSERT_EQ(record("wait 250\nboot\nwait 1000\n"), "");
    EXPECT_EQ(status, 0);
    WebPAnimationReader reader(file());
    ASSERT_EQ(reader.error(), "");
    EXPECT_EQ(reader.width(), 320);
    EXPECT_EQ(reader.height(), 480);
    // The boot's frame, then one every 1/30 s up to the end of the wait; the last is shown for
    // one interval more.
    EXPECT_EQ(reader.frameCount(), 31);
    EXPECT_EQ(reader.duration(), milliseconds(1033));
    EXPECT_EQ(reader.frameStarts()[1], milliseconds(33));
    EXPECT_EQ(reader.frameStarts()[2], milliseconds(67));
    int decoded = 0;
    while (auto frame = reader.next()) {
        EXPECT_EQ(CGImageGetWidth(frame->image), 320u);
        ++decoded;
    }
    EXPECT_EQ(decoded, 31);
}

TEST_F(Recording, TouchesInARowEachGetAFrameOfTheirOwn) {
    ASSERT_EQ(record("boot\nwait 100\ndown 10 10\nmove 100 10\nmove 200 10\nup\nwait 100\n"), "");
    // Four frames up to 100 ms, the last showing the finger put down then; each touch after it
    // at the same time pushes the rest of the recording one interval on; then the wait's three.
    EXPECT_EQ(starts(), (std::vector<long>{0, 33, 67, 100, 133, 167, 200, 233, 267, 300}));
}

TEST_F(Recording, FingersMovingOftenKeepTheFrameRateSteady) {
    std::string script = "boot\nwait 100\ndown 10 10\n";
    for (int i = 1; i <= 60; ++i) script += "wait 10\nmove " + std::to_string(10 + 4 * i) + " 10\n";
    ASSERT_EQ(record(script + "up\nwait 100\n"), "");
    const auto s = starts();
    ASSERT_GT(s.size(), 20u);
    for (size_t i = 1; i < s.size(); ++i) {
        EXPECT_GE(s[i] - s[i - 1], 25) << "frame " << i;
        EXPECT_LE(s[i] - s[i - 1], 35) << "frame " << i;
    }
}

TEST_F(Recording, TallScreensAreScaledDownToFourHundredEightyPixels) {
    const struct {
        const char* screen;
        int width, height;
    } cases[] = {
        {"screen 320 480 2\n", 320, 480},
        {"screen 768 1024\n", 360, 480},
        {"screen 480 320\n", 480, 320},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.screen);
        ASSERT_EQ(record(std::string(c.screen) + "boot\nwait 100\n"), "");
        WebPAnimationReader reader(file());
        EXPECT_EQ(reader.width(), c.width);
        EXPECT_EQ(reader.height(), c.height);
    }
}

TEST_F(Recording, RecordStartDropsWhatCameBeforeIt) {
    ASSERT_EQ(record("boot\ndown 10 10\nup\nwait 2000\nrecord start\nwait 200\n"), "");
    EXPECT_EQ(starts(), (std::vector<long>{0, 33, 67, 100, 133, 167, 200}));
    record("record start\n");  // before the boot there is nothing to record
    EXPECT_EQ(status, 2);
}

TEST_F(Recording, ARunThatNeverBootsHasNothingToWrite) {
    EXPECT_NE(record("wait 100\n"), "");
    EXPECT_NE(WebPAnimationReader(file()).error(), "");
}

// A white screen with a block of grey `level` on it.
CGImageRef screenWithBlock(int level) {
    std::vector<CGImagePixel> pixels(320 * 480, CGImagePixel{255, 255, 255, 255});
    for (size_t y = 200; y < 300; ++y) {
        for (size_t x = 100; x < 220; ++x) {
            pixels[y * 320 + x] = {static_cast<uint8_t>(level), static_cast<uint8_t>(level),
                                   static_cast<uint8_t>(level), 255};
        }
    }
    return CGImageCreateWithPixels(320, 480, pixels);
}

// A block fading out, the last steps each too faint for the encoder to send again: the picture
// the recording ends on, and holds, is the white screen, not what the fade left.
TEST(WebPAnimation, EndsOnTheLastFrameWholeWhateverTheFramesBeforeLeft) {
    TemporaryRoot root;
    const auto file = root.path() / "fade.webp";
    WebPAnimationWriter writer(320, 480);
    long start = 0;
    for (int level : {120, 200, 240, 248, 251, 253, 255}) {
        ASSERT_TRUE(writer.add(screenWithBlock(level), milliseconds(start)));
        start += 33;
    }
    ASSERT_EQ(writer.finish(milliseconds(start + 1000), file), "");
    WebPAnimationReader reader(file);
    std::optional<WebPAnimationFrame> last;
    while (auto frame = reader.next()) last = std::move(frame);
    ASSERT_TRUE(last);
    int darkest = 255;
    for (size_t y = 200; y < 300; ++y) {
        for (size_t x = 100; x < 220; ++x) {
            darkest = std::min<int>(darkest, CGImageGetPixelForTesting(last->image, x, y).g);
        }
    }
    EXPECT_GE(darkest, 254);
}

TEST(RecordingProgress, RewritesOneLineInPlaceAndEndsItOnlyOnATerminal) {
    std::ostringstream terminal;
    RecordingProgress progress(&terminal, "drag.sim");
    progress.update(1, std::chrono::milliseconds(33));
    progress.update(72, std::chrono::milliseconds(2400));
    progress.finish();
    EXPECT_EQ(terminal.str(),
              "\rrecording drag.sim: 0.0 s, 1 frame\x1b[K"
              "\rrecording drag.sim: 2.4 s, 72 frames\x1b[K\n");

    RecordingProgress silent(nullptr, "drag.sim");
    silent.update(1, std::chrono::milliseconds(33));
    silent.finish();  // nothing to write to, and nothing breaks
}

}  // namespace
