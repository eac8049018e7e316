#pragma once

// The vault: a combination dial with a knurled rim, a numbered scale and a bar handle across
// its knob. The user turns the whole picture about its centre, so everything that is not
// writing is shaded the same all round (no light from one side) and the shadow is centred.

#include "tools/artwork/Canvas.h"

#include <memory>

// Image size of the vault picture in pixels.
constexpr int kVaultWidth = 272;
constexpr int kVaultHeight = 310;

// The vault picture, on a transparent background.
std::unique_ptr<Canvas> drawVaultDial();
