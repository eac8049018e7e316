#pragma once

// The peel: the lock-screen image stays in place and bends like a page toward the finger. The
// curl amount grows with the finger's distance from where it came down; once the amount left by
// the previous move has reached the turn distance, the next move in an accepted direction curls
// the page away and unlocks, or, on a passcode device, asks for the unlock and curls back.

#include "platform/graphics/CGGeometry.h"
#include "tweak/session/CVUnlockMode.h"

#include <memory>

class CAFilter;

class CVPeelMode final : public CVUnlockMode {
public:
    static CVPeelMode& shared();

    // The page-curl filter of the current peel; nil before the first move.
    const CAFilter* curlFilter() const { return curlFilter_.get(); }
    // Half the finger's distance from where it came down, at the last move.
    float fingerDelta() const { return fingerDelta_; }
    // Where the finger came down.
    CGPoint lastPos() const { return lastPos_; }

    void leaveLockScreen() override;
    void touchesBegan(CVAwayController& controller, const UITouchSet* touches) override;
    // peelLockscreenWithTouch:.
    void touchesMoved(CVAwayController& controller, const UITouchSet* touches) override;
    void touchesEnded(CVAwayController& controller) override;
    void resetForTesting() override;

private:
    // A finishing move, `dx` points right of where the finger came down.
    void finishPeel(CVAwayController& controller, float dx);
    // Why the page curls back: a finish on a passcode device (the curl then stays flat and the
    // animation goes), or a release short of the finish (the animation stays on the layer).
    enum class CurlBack { AfterPasscodeFinish, AfterRelease };
    // The page curls away, then the device unlocks.
    void curlAway(CVAwayController& controller);
    // The page curls back flat, then both images are hidden.
    void curlBack(CVAwayController& controller, CurlBack why);

    std::shared_ptr<CAFilter> curlFilter_;
    float fingerDelta_ = 0;
    CGPoint lastPos_{};
};
