// The simulated SpringBoard as a script drives it: corvane-sim in a process of its own, with no
// tweak installed unless a test installs one.

#include "platform/foundation/PropertyList.h"
#include "platform/graphics/CGImage.h"
#include "tests/support/RunProgram.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <optional>
#include <sstream>

namespace {

using Json = nlohmann::json;

struct SimRun {
    int status = 0;
    std::vector<Json> events;
    std::string err;

    // The "ev" of every event but logs, notifications and dumps, in order.
    std::vector<std::string> names() const {
        std::vector<std::string> result;
        for (const auto& e : events) {
            const std::string name = e["ev"];
            if (name != "log" && name != "dump" && name != "notification") result.push_back(name);
        }
        return result;
    }
    // The events named `name`.
    std::vector<Json> all(const std::string& name) const {
        std::vector<Json> result;
        for (const auto& e : events) {
            if (e["ev"] == name) result.push_back(e);
        }
        return result;
    }
    // Whether the events named in `order` appear in this order (others may come between).
    bool inOrder(const std::vector<std::string>& order) const {
        std::size_t next = 0;
        for (const auto& name : names()) {
            if (next < order.size() && name == order[next]) ++next;
        }
        return next == order.size();
    }
};

class Sim : public ::testing::Test {
protected:
    SimRun run(const std::string& script) {
        root.write("/script.sim", script);
        const auto result =
            runProgram(CORVANE_SIM_PATH,
                       {"--root", root.path().string(), "--script",
                        (root.path() / "script.sim").string(), "--record",
                        (root.path() / "shots").string()},
                       root.path());
        SimRun sim{result.status, {}, result.err};
        std::istringstream lines(result.out);
        for (std::string line; std::getline(lines, line);) sim.events.push_back(Json::parse(line));
        return sim;
    }

    CGImageRef shot(const std::string& name) {
        return CGImageCreateWithPNGFile(root.path() / "shots" / (name + ".png"));
    }

    TemporaryRoot root;
};

// Installs a module under `name` whose filter names SpringBoard.
void installModule(const TemporaryRoot& root, const std::string& module, const std::string& name) {
    const std::string folder = "/Library/MobileSubstrate/DynamicLibraries/";
    std::filesystem::create_directories(root / folder);
    std::filesystem::copy_file(module, root / (folder + name + ".so"));
    root.write(folder + name + ".plist",
               propertyListBytes(PlistValue(PlistDictionary{
                   {"Filter", PlistValue(PlistDictionary{
                                  {"Bundles", PlistValue(PlistArray{
                                                  PlistValue("com.apple.springboard")})}})}})));
}

TEST_F(Sim, TheStockUnlockBarUnlocks) {
    const auto sim = run("boot\nlock\nwake\ndown 60 432\nmove 170 432\nmove 280 432\nup\nwait 400\n");
    EXPECT_EQ(sim.status, 0) << sim.err;
    EXPECT_TRUE(sim.inOrder({"locked", "dimmed", "dimmed", "unlock-request", "unlock-routine",
                             "unlocked"}));
    EXPECT_EQ(sim.all("dimmed")[0]["dimmed"], true);
    EXPECT_EQ(sim.all("dimmed")[1]["dimmed"], false);
    EXPECT_EQ(sim.all("unlock-request")[0]["selector"], "unlockWithSound:");
    EXPECT_EQ(sim.all("unlock-routine")[0]["autoUnlock"], false);
    EXPECT_EQ(sim.all("unlocked")[0]["t"], 300);
}

// The x of the first view of class `name` in the view tree `view` (its frame in its parent), or
// nothing when there is none.
std::optional<double> frameXOf(const Json& view, const std::string& name) {
    if (view.value("class", "") == name) return view["frame"][0].get<double>();
    for (const auto& subview : view.value("subviews", Json::array())) {
        if (const auto x = frameXOf(subview, name)) return x;
    }
    return std::nullopt;
}

// Where the unlock bar's knob begins in `shot`: the first column of its light face in row 420,
// through the knob and clear of its arrow; -1 when it shows nowhere.
int knobLeftEdge(const CGImageRef& shot) {
    for (size_t x = 0; x < CGImageGetWidth(shot); ++x) {
        const auto p = CGImageGetPixelForTesting(shot, x, 420);
        if (p.r > 200 && p.g > 200 && p.b > 200) return static_cast<int>(x);
    }
    return -1;
}

TEST_F(Sim, AKnobLetGoShortOfTheEndSlidesBackWithoutUnlocking) {
    const auto sim =
        run("boot\ndump views\nsnap start\ndown 60 432\nmove 150 432\ndump views\nsnap held\n"
            "up\nwait 100\nsnap sliding\nwait 900\ndump views\nsnap rest\n");
    EXPECT_EQ(sim.status, 0) << sim.err;
    EXPECT_TRUE(sim.all("unlock-request").empty());
    EXPECT_TRUE(sim.all("unlocked").empty());
    // The knob's frame: at its start, moved with the finger by 90 points, and back.
    std::vector<double> xs;
    for (const auto& dump : sim.all("dump")) {
        std::optional<double> x;
        for (const auto& window : dump["windows"]) {
            if (!x) x = frameXOf(window, "SBAwayLockBarKnob");
        }
        ASSERT_TRUE(x) << "no knob in the view dump at " << dump["t"];
        xs.push_back(*x);
    }
    ASSERT_EQ(xs.size(), 3u);
    EXPECT_EQ(xs[1] - xs[0], 90);
    EXPECT_EQ(xs[2], xs[0]);
    // On the screen: the knob drawn where it is, sliding back through the places between.
    const auto start = shot("start"), held = shot("held"), sliding = shot("sliding"),
               rest = shot("rest");
    ASSERT_TRUE(start && held && sliding && rest);
    const int from = knobLeftEdge(start);
    ASSERT_GE(from, 0) << "no knob drawn";
    EXPECT_EQ(from, xs[0]);
    EXPECT_EQ(knobLeftEdge(held), from + 90);
    EXPECT_GT(knobLeftEdge(sliding), from + 5);
    EXPECT_LT(knobLeftEdge(sliding), from + 85);
    EXPECT_EQ(knobLeftEdge(rest), from);
}

TEST_F(Sim, APasscodeDeviceAsksForThePasscodeBeforeUnlocking) {
    const auto sim = run("passcode on\nboot\ndown 60 432\nmove 280 432\nup\npasscode cancel\n"
                         "down 60 432\nmove 280 432\nup\npasscode enter\nwait 400\n");
    EXPECT_EQ(sim.status, 0) << sim.err;
    EXPECT_TRUE(sim.inOrder({"unlock-request", "passcode-shown", "passcode-dismissed",
                             "unlock-request", "passcode-shown", "passcode-dismissed",
                             "unlock-routine", "unlocked"}));
    EXPECT_EQ(sim.all("passcode-dismissed")[0]["success"], false);
    EXPECT_EQ(sim.all("passcode-dismissed")[1]["success"], true);
    EXPECT_EQ(sim.all("unlock-routine").size(), 1u);
}

TEST_F(Sim, ThePasscodeKeypadTakesFourDigitsWithTheDeleteKeyTakingOneBack) {
    // Keys of the 320x480 keypad: 1 and 2 on its first row, 0 and delete on its last.
    const std::string one = "down 53 291\nup\n", two = "down 160 291\nup\n",
                      zero = "down 160 453\nup\n", erase = "down 267 453\nup\n";
    const std::string unlockBar = "passcode on\nboot\ndown 60 432\nmove 280 432\nup\n";
    const auto short_ = run(unlockBar + one + two + erase + zero + "wait 400\n");
    EXPECT_EQ(short_.status, 0) << short_.err;
    EXPECT_TRUE(short_.all("passcode-dismissed").empty());  // two digits stand

    const auto sim = run(unlockBar + one + two + erase + zero + one + two + "wait 1000\n");
    EXPECT_TRUE(sim.inOrder({"passcode-shown", "passcode-dismissed", "unlock-routine", "unlocked"}));
    EXPECT_EQ(sim.all("passcode-dismissed")[0]["success"], true);
}

TEST_F(Sim, TheDimTimerDarkensTheLitLockScreenAndTouchesRestartIt) {
    const auto sim = run("boot\nwait 7000\ndown 60 432\nup\nwait 11000\n");
    EXPECT_EQ(sim.status, 0);
    const auto dimmed = sim.all("dimmed");
    ASSERT_EQ(dimmed.size(), 1u);
    EXPECT_EQ(dimmed[0]["t"], 17000);  // ten seconds after the touch, not eight after boot
    EXPECT_EQ(sim.all("dim-timer").back()["seconds"], 10.0);
}

TEST_F(Sim, AnUnlockedDeviceLocksItselfAfterAMinute) {
    const auto sim = run("boot\ndown 60 432\nmove 280 432\nup\nwait 60300\n");
    EXPECT_EQ(sim.status, 0);
    ASSERT_EQ(sim.all("locked").size(), 2u);
    EXPECT_EQ(sim.all("locked")[1]["t"], 60300);
}

TEST_F(Sim, TheStatusBarShowsThePadlockWhileLockedAndTheTimeOtherwise) {
    const auto sim = run("boot\nmedia on\nmedia off\ndown 60 432\nmove 280 432\nup\nwait 400\n");
    std::vector<std::pair<bool, bool>> flags;
    for (const auto& e : sim.all("status-bar")) flags.emplace_back(e["lock"], e["time"]);
    EXPECT_EQ(flags, (std::vector<std::pair<bool, bool>>{
                         {true, false}, {false, true}, {true, false}, {false, true}}));
}

TEST_F(Sim, AModuleInDynamicLibrariesIsLoadedAtBootAndItsReplacementRuns) {
    installModule(root, DIM_HOOK_MODULE_PATH, "DimHook");
    const std::string folder = "/Library/MobileSubstrate/DynamicLibraries/";
    root.write(folder + "Broken.so", "not a library");
    root.write(folder + "Broken.plist", "not a filter");
    const auto sim = run("boot\nlock\n");
    EXPECT_EQ(sim.status, 0) << sim.err;
    std::vector<std::string> logs;
    for (const auto& e : sim.all("log")) logs.push_back(e["text"]);
    ASSERT_EQ(logs.size(), 2u);
    EXPECT_TRUE(logs[0].starts_with("Substrate: skipping Broken"));
    EXPECT_EQ(logs[1], "hooked setDimmed: YES");
    EXPECT_EQ(sim.all("dimmed").size(), 1u);
}

TEST_F(Sim, SpringBoardSendsEachReplaceableMethodWhenItsEventHappens) {
    installModule(root, EVERY_HOOK_MODULE_PATH, "Every");
    const auto sim = run(
        "boot\ndown 100 250\nmove 120 260\nup\ndim\nwake\nmedia on\nplugin-fullscreen\n"
        "camera on\ncamera off\npasscode on\ndown 60 432\nmove 280 432\nup\npasscode cancel\n"
        "down 60 432\nmove 280 432\nup\npasscode enter\nwait 400\nalert\nautolock\nlock\n");
    ASSERT_EQ(sim.status, 0) << sim.err;
    std::vector<std::string> hooks;
    for (const auto& e : sim.all("log")) hooks.push_back(e["text"]);
    const std::string appears[] = {"SBAwayView startAnimations", "TPLCDView setHidden:",
                                   "SBStatusBarController setIsLockVisible:isTimeVisible:"};
    auto expected = std::vector<std::string>{"SpringBoard init", "SBAwayDateView initWithFrame:"};
    const auto appear = [&] { expected.insert(expected.end(), std::begin(appears), std::end(appears)); };
    appear();  // the lock screen comes up lit at boot
    expected.insert(expected.end(), {"SBAwayView touchesBegan:withEvent:",
                                     "SBAwayView touchesMoved:withEvent:",
                                     "SBAwayView touchesEnded:withEvent:", "SBAwayView setDimmed:",
                                     "SBAwayView setDimmed:"});
    appear();  // woken
    expected.insert(expected.end(),
                    {"SBAwayDateView setIsShowingControls:", "TPLCDView setHidden:",
                     "SBStatusBarController setIsLockVisible:isTimeVisible:",
                     "SBAwayController pluginFullscreenNotification:",
                     "SBAwayController activateCamera", "SBAwayController dismissCameraAnimated:",
                     "SBSlidingAlertDisplay deviceUnlockCanceled"});
    appear();  // back from the passcode entry
    expected.insert(expected.end(),
                    {"SBSlidingAlertDisplay deviceUnlockSucceeded",
                     "SBAwayController _unlockWithSound:unlockSource:isAutoUnlock:bypassPinLock:",
                     "SBStatusBarController setIsLockVisible:isTimeVisible:",
                     "SBAwayController didFinishAnimatingOut", "SBAlertView alertDisplayBecameVisible",
                     "SpringBoard autoLock", "SBStatusBarController setIsLockVisible:isTimeVisible:",
                     "SBAwayView setDimmed:", "SpringBoard lockButtonDown:", "SBAwayView setDimmed:"});
    appear();  // the lock button lights the dark lock screen
    for (auto& line : expected) line = "hook " + line;
    EXPECT_EQ(hooks, expected);
}

TEST_F(Sim, ATakenAwaySelectorIsNeverSent) {
    const auto sim = run("springboard without setDimmed:\nboot\nlock\nwait 9000\n");
    EXPECT_EQ(sim.status, 0) << sim.err;
    EXPECT_TRUE(sim.all("dimmed").empty());
}

TEST_F(Sim, BadLinesStopTheScriptWithTheirLineNumber) {
    const auto sim = run("boot\nlock\nfly away\nwake\n");
    EXPECT_EQ(sim.status, 2);
    EXPECT_EQ(sim.events.back()["ev"], "error");
    EXPECT_EQ(sim.events.back()["line"], 3);
    EXPECT_EQ(run("boot\npasscode enter\n").status, 2);  // no passcode entry is showing
}

TEST_F(Sim, PicturesShowTheLockScreenLitOrDarkAndTheHomeScreenAfter) {
    const auto sim = run("boot\nsnap lit\nlock\nsnap dark\nwake\nsnap again\ndown 60 432\n"
                         "move 280 432\nup\nwait 400\nsnap home\n");
    ASSERT_EQ(sim.status, 0);
    const auto lit = shot("lit"), dark = shot("dark"), again = shot("again"), home = shot("home");
    ASSERT_TRUE(lit && dark && again && home);
    EXPECT_EQ(CGImageGetWidth(lit), 320u);
    EXPECT_EQ(CGImageCopyPNGData(lit), CGImageCopyPNGData(again));  // the same screen, pixel for pixel
    const auto black = CGImageGetPixelForTesting(dark, 160, 240);
    EXPECT_EQ(black.r + black.g + black.b, 0);
    EXPECT_NE(CGImageCopyPNGData(lit), CGImageCopyPNGData(home));
}

TEST_F(Sim, ALargerScreenIsDrawnAtItsScale) {
    const auto sim = run("screen 375 667 2\nboot\nsnap big\n");
    ASSERT_EQ(sim.status, 0);
    const auto big = shot("big");
    ASSERT_TRUE(big);
    EXPECT_EQ(CGImageGetWidth(big), 750u);
    EXPECT_EQ(CGImageGetHeight(big), 1334u);
}

}  // namespace
