// A recording shows the screen as it was drawn: the frames of every gesture's recording against
// pictures of the screen ("snap") taken at the same moments, before the gesture, while the
// fingers hold, on the way back or out, and at the end, where the last frame is held.

#include "tests/tweak/TweakSim.h"

#include "common/recording/WebPAnimationReader.h"
#include "platform/graphics/CGImage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>

namespace {

using std::chrono::milliseconds;

// How far two pictures of one size are apart: the share of pixels whose colour differs by more
// than `threshold` in some channel.
double shareDiffering(const CGImageRef& a, const CGImageRef& b, int threshold) {
    const size_t w = CGImageGetWidth(a), h = CGImageGetHeight(a);
    if (w != CGImageGetWidth(b) || h != CGImageGetHeight(b)) return 1;
    size_t differing = 0;
    for (size_t y = 0; y < h; ++y) {
        for (size_t x = 0; x < w; ++x) {
            const auto p = CGImageGetPixelForTesting(a, x, y), q = CGImageGetPixelForTesting(b, x, y);
            const int d = std::max({std::abs(p.r - q.r), std::abs(p.g - q.g), std::abs(p.b - q.b)});
            differing += d > threshold;
        }
    }
    return static_cast<double>(differing) / static_cast<double>(w * h);
}

struct Gesture {
    const char* name;
    const char* settings;
    const char* touches;  // ends with the fingers down and still
};

const Gesture kGestures[] = {
    {"drag", "", "down 40 250\nmove 120 250\n"},
    {"overlay", "prefs set cvrUnlockType 1\n", "down 30 240\nmove 120 238\n"},
    {"pinch", "prefs set cvrUnlockType 2\n", "down 60 240 260 240\nmove 70 240 250 240\n"},
    {"peel", "prefs set cvrUnlockType 3\n", "down 300 240\nmove 240 242\n"},
    {"badge", "prefs set cvrUnlockType 4\n", "down 295 240\nmove 230 242\n"},
    {"rotate", "prefs set cvrUnlockType 5\n", "down 60 240 260 240\nmove 62 230 258 250\n"},
    {"vault", "prefs set cvrUnlockType 6\n", "down 60 240 260 240\nmove 62 230 258 250\n"},
};

// The examples' recordings end on the screen each script ends on (a compressed picture: its
// sharpest edges may differ a little, nothing more).
TEST(Recording, EachExampleEndsOnTheScreenItEndsOn) {
    for (const char* example : {"drag", "overlay", "pinch", "peel", "pull-badge", "rotate", "vault", "passcode"}) {
        SCOPED_TRACE(example);
        TweakSim sim;
        ASSERT_TRUE(sim.installArtwork());
        std::ifstream in(std::string(CORVANE_EXAMPLES_DIR) + "/" + example + ".sim");
        const std::string script{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        const auto run = sim.runRecorded(script + "snap end\n");
        ASSERT_EQ(run.status, 0) << run.err;
        WebPAnimationReader reader(sim.root().path() / "run.webp");
        std::optional<WebPAnimationFrame> last;
        while (auto frame = reader.next()) last = std::move(frame);
        ASSERT_TRUE(last);
        const auto end = CGImageCreateWithPNGFile(sim.root().path() / "shots/end.png");
        EXPECT_LT(shareDiffering(last->image, end, 24), 0.025);
    }
}

TEST(Recording, EveryFrameShowsTheScreenAsDrawn) {
    for (const auto& g : kGestures) {
        SCOPED_TRACE(g.name);
        TweakSim sim;
        ASSERT_TRUE(sim.installArtwork());
        const auto run = sim.runRecorded(std::string(g.settings) + kLockedOverMail +
                                         "record start\nwait 300\nsnap still\n" + g.touches +
                                         "wait 300\nsnap held\nup\nwait 2000\nsnap end\n");
        ASSERT_EQ(run.status, 0) << run.err;
        WebPAnimationReader reader(sim.root().path() / "run.webp");
        ASSERT_EQ(reader.error(), "");
        std::vector<WebPAnimationFrame> frames;
        while (auto frame = reader.next()) frames.push_back(std::move(*frame));
        ASSERT_GT(frames.size(), 10u);
        const auto snap = [&](const char* name) {
            return CGImageCreateWithPNGFile(sim.root().path() / "shots" / (std::string(name) + ".png"));
        };
        // Before any touch the recording's time is the clock's: the frame shown at 300 ms.
        const auto still = std::find_if(frames.begin(), frames.end(), [](const auto& f) {
            return f.start <= milliseconds(300) && milliseconds(300) < f.end;
        });
        ASSERT_NE(still, frames.end());
        // While the fingers hold, some frame shows them held (touches in a row push the
        // recording's time on, so which one is not the clock's to say).
        double bestHeld = 1;
        for (const auto& f : frames) bestHeld = std::min(bestHeld, shareDiffering(f.image, snap("held"), 24));
        const double stillShare = shareDiffering(still->image, snap("still"), 24);
        const double endShare = shareDiffering(frames.back().image, snap("end"), 24);
        EXPECT_LT(stillShare, 0.005);
        EXPECT_LT(bestHeld, 0.005);
        EXPECT_LT(endShare, 0.005);
    }
}

}  // namespace
