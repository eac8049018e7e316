#pragma once

// What the touch capture view reports to, played by a fake so that these tests depend only on
// the views: the lock-screen view it answers with, and one shared log of the touches it is given
// and of the dim-timer restarts SpringBoard's stand-in receives, in order.

#include "tweak/views/CVTouchViewDelegate.h"

#include <memory>
#include <string>
#include <vector>

class FakeTouchDelegate : public CVTouchViewDelegate {
public:
    // The view lockScreenView answers with (nil until a test sets one).
    UIView* awayView = nullptr;
    // How many times lockScreenView was asked.
    int awayViewRequests = 0;
    // The touch set of the last lockscreenTouches... call.
    const UITouchSet* lastTouches = nullptr;
    // What capturesOnlyPassiveBackground answers: false plays the pull badge's touch view.
    bool passiveBackgroundOnly = true;

    UIView* lockScreenView() override;
    bool capturesOnlyPassiveBackground() override { return passiveBackgroundOnly; }
    void lockscreenTouchesBegan(const UITouchSet* touches) override;
    void lockscreenTouchesMoved(const UITouchSet* touches) override;
    void lockscreenTouchesEnded(const UITouchSet* touches) override;

    // Lines such as "lockscreenTouchesBegan" and "restartDimTimer: 10", shared with SpringBoard's
    // stand-in.
    static std::vector<std::string>& log();
    // Registers SpringBoard's SBAwayController stand-in, whose shared controller writes
    // "restartDimTimer: SECONDS" to the log.
    static void registerSpringBoardController();
};
