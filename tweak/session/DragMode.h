#pragma once

// The drag: the lock-screen image follows the finger on the axis the unlock direction allows,
// fades with the distance when asked, and past its limit unlocks on that very move. Released
// short of it, the image slides back or swings back elastically, as the settings say.

#include "tweak/session/CVUnlockMode.h"

class CVDragMode final : public CVUnlockMode {
public:
    static CVDragMode& shared();

    void touchesBegan(CVAwayController& controller, const UITouchSet* touches) override;
    // moveLockscreenWithTouch:.
    void touchesMoved(CVAwayController& controller, const UITouchSet* touches) override;
    void touchesEnded(CVAwayController& controller) override;

    // Did-stop of the passcode return: hides both images and sends the unlock request.
    void customMovementFinishedAnimatingWithUnlock(CVAwayController& controller);

private:
    // The return along a path that overshoots the rest place and swings back.
    void elasticReturn(CVAwayController& controller);
};
