#pragma once

// An unlock mode: one gesture of the seven (drag, overlay, pinch, peel, pull badge, rotate, vault)
// as one object. It says what the gesture builds when the lock screen shows, what the lock
// screen's touches do to it, and what it takes away again; it holds the state that belongs to
// its gesture alone (the overlay view, the curl filter, the badge, the recognisers), while what
// every gesture shares stays with the controller and the session state. The controller asks the
// mode of the unlock type at each moment; CVUnlockModeFor is the one place that maps a type to
// its mode. Every mode lives as long as the process.

#include "platform/graphics/CGGeometry.h"
#include "tweak/settings/CVSettingsValues.h"

#include <functional>

class CVAwayController;
class CVAwayView;
class CVSettings;
class UITouchSet;
class UIWindow;

// Which way the lock-screen image leaves when a gesture ends in the slide-out finisher: on with
// the finger's last step, off the screen on one axis (on the side it is already displaced to, a
// margin past the edge), or nowhere.
struct CVSlideOut {
    enum class Way { WithLastStep, Horizontal, Vertical, Nowhere };
    Way way = Way::WithLastStep;
    CGFloat marginInPoints = 0;
};

class CVUnlockMode {
public:
    virtual ~CVUnlockMode() = default;

    // Whether touch-down renders the snapshot view for the gesture to move: every gesture but the
    // overlay's and the vault's, which leave the lock screen where it is.
    virtual bool movesSnapshot() const { return true; }
    // Whether the display's touch capture view covers the whole screen and keeps only the touches
    // on the lock screen's passive background. The pull badge's covers the badge alone and keeps
    // every touch on it.
    virtual bool capturesPassiveBackground() const { return true; }

    // Which way the image slides out when this gesture unlocks with the slide finisher: by the
    // unlock direction, unless the gesture says otherwise.
    virtual CVSlideOut slideOut(const CVSettings& settings) const;

    // Builds the gesture's add-on for a display, in the lock-screen window (nil: made, shown
    // nowhere), after the display's touch capture view has been made.
    virtual void buildAddon(CVAwayController& controller, UIWindow* window) {}
    // Builds the same add-on into the snapshot view `host`, with the snapshot view's builders.
    virtual void addAddonTo(CVAwayView& host) {}
    // Takes away the views the last display built, before a display builds anew.
    virtual void leaveDisplay() {}
    // Takes away everything the gesture holds, once SpringBoard has animated the lock screen out.
    virtual void leaveLockScreen() {}

    // The touches of the lock screen, as the touch capture view reports them. Touch-down comes
    // after the snapshot view was rendered (when the gesture moves one); touch-up only when no
    // unlock is under way, to bring what the finger moved back to rest.
    virtual void touchesBegan(CVAwayController& controller, const UITouchSet* touches) {}
    virtual void touchesMoved(CVAwayController& controller, const UITouchSet* touches) {}
    virtual void touchesEnded(CVAwayController& controller) {}

    // Returns the mode's state to what it is when the library loads.
    virtual void resetForTesting() {}
};

// The mode of unlock type `type`. A value outside the seven has a mode too, which builds and
// moves nothing.
CVUnlockMode& CVUnlockModeFor(CVUnlockType type);

// Calls `visit` with every mode, in the order of the types.
void CVForEachUnlockMode(const std::function<void(CVUnlockMode&)>& visit);
