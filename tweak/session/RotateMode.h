#pragma once

// The rotation: two fingers turn the lock-screen image; past 1.57 radians either way it unlocks.

#include "tweak/session/ImageTransformMode.h"

class UIRotationGestureRecognizer;

class CVRotateMode final : public CVImageTransformMode {
public:
    static CVRotateMode& shared();

    // A rotation recogniser on the display's touch capture view, sending onRotate:.
    void buildAddon(CVAwayController& controller, UIWindow* window) override;
    // onRotate:.
    void onRotate(CVAwayController& controller, UIRotationGestureRecognizer* recognizer);
};
