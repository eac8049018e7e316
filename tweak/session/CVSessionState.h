#pragma once

// The session state every gesture shares, with the controller and the views: what lies beneath
// the lock screen, and the flags of an unlock under way. What belongs to one gesture alone (its
// add-on, its filter, its recogniser) its unlock mode holds. One per process, all empty or false
// when the library loads.

#include "platform/runtime/Runtime.h"
#include "platform/uikit/UIImage.h"
#include "platform/uikit/UIImageView.h"
#include "platform/uikit/UIView.h"

#include <memory>

class CVSettings;

struct CVSessionState {
    // From SpringBoard's start until the lock screen's first display.
    bool firstUnlock = false;
    // What lies beneath the lock screen, and the image view that shows it behind the gesture.
    UIImageRef lastViewImage;
    std::shared_ptr<UIImageView> lastView;
    // The device has a passcode (read at each display).
    bool devicePassworded = false;
    // A gesture has passed its threshold and the unlock is under way.
    bool isUnlocking = false;
    // The controller itself is asking SpringBoard to unlock.
    bool aUnlock = false;
    // SpringBoard's SBAwayController class, looked up by getAwayView.
    Class SBAwayController = nullptr;
    // The touch capture view's reference to the settings record.
    CVSettings* settings = nullptr;
    // Whether the current touch sequence has sent its unlock request: moves after a crossing
    // must not send a second one.
    bool unlockRequestSent = false;
};

// The session state of this process.
CVSessionState& CVSession();

// Takes the session's views out of their windows and returns every field to its value at load,
// so that tests of the session logic can run one after another in one process.
void CVSessionResetForTesting();
