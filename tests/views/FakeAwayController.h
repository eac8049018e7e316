#pragma once

// What the touch capture view asks of the session controller, played by a fake so that these
// tests depend only on the views: the lock-screen view it answers with, and one shared log of the
// touches it is given and of the dim-timer restarts SpringBoard's stand-in receives, in order.

#include <string>
#include <vector>

class UIView;
class UITouchSet;

namespace fake_controller {

// The view getAwayView answers with (nil until a test sets one).
void setAwayView(UIView* view);
// How many times getAwayView was asked.
int awayViewRequests();
// Lines such as "lockscreenTouchesBegan" and "restartDimTimer: 10".
std::vector<std::string>& log();
// The touch set of the last lockscreenTouches... call.
const UITouchSet* lastTouches();
// Empties the log, the counter, the last touches and the away view.
void reset();

// Registers SpringBoard's SBAwayController stand-in, whose shared controller writes
// "restartDimTimer: SECONDS" to the log.
void registerSpringBoardController();

}  // namespace fake_controller
