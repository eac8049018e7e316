#pragma once

// What pinch and rotate share: the lock-screen image takes the recogniser's transform and
// unlocks past the gesture's limit, or, once the recogniser has ended, returns to rest. With a
// passcode it springs back first and asks for the unlock when it is at rest.

#include "platform/graphics/CGGeometry.h"
#include "tweak/session/RecognizerMode.h"

class CVImageTransformMode : public CVRecognizerMode {
public:
    // Did-stop of the passcode spring-back: hides both images and asks for the unlock, once.
    static void gestureFinishedAnimatingWithUnlock(CVAwayController& controller);

protected:
    // The image takes `transform` and unlocks when `pastLimit`; an ended recogniser returns it
    // to rest instead.
    static void followOrReturn(CVAwayController& controller, const UIGestureRecognizer* recognizer,
                               CGAffineTransform transform, bool pastLimit);
};
