#pragma once

// The pinch: two fingers scale the lock-screen image; below half or past twice its size it
// unlocks. Released, the image is hidden at once (the recogniser's end returns it to rest).

#include "tweak/session/ImageTransformMode.h"

class UIPinchGestureRecognizer;

class CVPinchMode final : public CVImageTransformMode {
public:
    static CVPinchMode& shared();

    // A pinch recogniser on the display's touch capture view, sending onPinch: to the controller.
    void buildAddon(CVAwayController& controller, UIWindow* window) override;
    void touchesEnded(CVAwayController& controller) override;
    // onPinch:.
    void onPinch(CVAwayController& controller, UIPinchGestureRecognizer* recognizer);
};
