#pragma once

// The messages the panel's controller answers besides those of every list controller: the
// setters and button actions its specifier list names, and the colour sliders' action.

#include "platform/preferences/PSSpecifier.h"
#include "platform/uikit/UIControl.h"

namespace crvsettingsMessage {
inline constinit const PSValueSetter setEnabled{"setEnabled:specifier:"};
inline constinit const PSValueSetter setHideLockClock{"setHideLockClock:specifier:"};
inline constinit const PSButtonAction chooseColor{"chooseColor:"};
inline constinit const PSButtonAction sendMail{"sendMail:"};
inline constinit const PSButtonAction openFAQ{"openFAQ:"};
inline constinit const PSButtonAction respringButtonClicked{"respringButtonClicked:"};
inline constinit const UIControlAction changeColor{"changeColor"};
}  // namespace crvsettingsMessage

// The tags of the colour chooser's sliders, by which a host that drives the chooser finds them.
enum crvsettingsSliderTag : int {
    crvsettingsRedSlider = 1,
    crvsettingsGreenSlider = 2,
    crvsettingsBlueSlider = 3,
    crvsettingsAlphaSlider = 4,
};
