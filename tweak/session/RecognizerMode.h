#pragma once

// What the gestures that a recogniser drives share (pinch, rotate and the vault dial): the
// recogniser itself, made afresh on the display's touch capture view and let go with the lock
// screen, and the guard every recogniser callback passes first.

#include "platform/uikit/UIViewAnimation.h"
#include "tweak/session/CVUnlockMode.h"

#include <memory>

class UIGestureRecognizer;

class CVRecognizerMode : public CVUnlockMode {
public:
    // Whether the mode holds a recogniser.
    bool hasRecognizer() const { return recognizer_ != nullptr; }

    void leaveLockScreen() override;
    void resetForTesting() override;

protected:
    // Lets the recogniser of an earlier display go and attaches `recognizer` to the display's
    // touch capture view, if there is one.
    void installRecognizer(CVAwayController& controller,
                           std::shared_ptr<UIGestureRecognizer> recognizer);
    // The guard of every recogniser callback: the tweak enabled and no unlock under way. A
    // recogniser that has just begun starts a gesture of its own, with an unlock to ask for.
    static bool takesGestureCallback(const CVAwayController& controller,
                                     const UIGestureRecognizer* recognizer);
    // Whether a turn of `rotation` radians lies past the limit of the rotate and vault gestures.
    static bool pastTurnLimit(CGFloat rotation);
    // Opens the block, from the current state, of a return to rest (0.5 s) whose end sends
    // `didStop` to the controller.
    static void beginReturn(CVAwayController& controller, const UIAnimationDidStopMessage& didStop);

private:
    std::shared_ptr<UIGestureRecognizer> recognizer_;
};
