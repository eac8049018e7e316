#pragma once

// The picture of what the screen shows as the device locks: the front-most application, or the
// home screen. Exported by the tweak library under this name.

#include "platform/uikit/UIImage.h"

// The picture, or nil when none can be made.
UIImageRef UIImageBelowLockScreen();
