#pragma once

// How the tweak talks to SpringBoard: its classes by name and its methods through the method
// tables, never its headers. Every call answers zero or nil when SpringBoard lacks the class or
// the object, as a message to nil does.

#include "platform/graphics/CGGeometry.h"
#include "platform/graphics/IOSurface.h"
#include "platform/runtime/NSObject.h"
#include "platform/uikit/UIImage.h"

#include <string>

class UIView;

namespace SpringBoardCalls {

// SBAwayController's sharedAwayController (made on first use) and sharedAwayControllerIfExists.
id sharedAwayController();
id sharedAwayControllerIfExists();
bool isLocked(id awayController);
// The lock controller's lock-screen view.
UIView* awayView(id awayController);
bool isShowingMediaControls(id awayController);
// isSyncing when the lock controller offers it, else NO.
bool isSyncing(id awayController);
void restartDimTimer(float seconds);
// The plain unlock request.
void unlockWithSound(id awayController, bool sound);
// The versioned request when the controller answers it (isAutoUnlock NO), else the plain one.
void unlockWithSoundVersioned(id awayController, bool sound);
// The image of a view as drawn now.
UIImageRef renderSnapshot(UIView* view);
UIView* topBar(UIView* awayView);
// The status bar's padlock and time.
void setStatusBarLockAndTime(bool lockVisible, bool timeVisible);
// Whether `view` is one of SpringBoard's unlock bars (SBAwayLockBar or TPBottomLockBar, looked
// up by name once and kept).
bool isUnlockBar(const UIView& view);

// The linen texture for `bounds`.
UIImageRef linenImage(CGRect bounds);

// Whether the device has a passcode: isPasswordProtected of `awayControllerClass`'s shared
// controller when that answers it, else of SBDeviceLockController's shared controller.
bool deviceIsPassworded(Class awayControllerClass);

}  // namespace SpringBoardCalls
