#pragma once

// The add-ons of the lock screen as views: the translucent overlay, the pull badge and the vault
// dial, each made by one function that the snapshot view's builders and the unlock modes both
// use. Where a view then goes (into the snapshot view, or into the lock-screen window) is the
// caller's.

#include "platform/graphics/CGGeometry.h"
#include "platform/uikit/UIColor.h"
#include "platform/uikit/UIImageView.h"
#include "platform/uikit/UIView.h"
#include "tweak/settings/CVSettingsValues.h"

#include <memory>
#include <string_view>

// A black sheet of alpha `overlayTransparency` over `frame`.
std::shared_ptr<UIView> CVMakeTransparentOverlay(CGRect frame, double overlayTransparency);

// The badge of `pullDirection` and `design` (tinted with `customColour` when the design is
// "Custom"), touchable, half off the matching edge of a screen of `screenBounds`; nil for a
// direction that has no badge. A missing image file gives an empty badge.
std::shared_ptr<UIImageView> CVMakePullBadge(CVPullDirection pullDirection, std::string_view design,
                                             const UIColorRef& customColour, CGRect screenBounds);

// The vault dial, touchable, on a screen of `screen`; a missing image file gives an empty dial.
std::shared_ptr<UIImageView> CVMakeVault(CGSize screen);
