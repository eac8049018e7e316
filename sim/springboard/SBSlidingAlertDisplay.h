#pragma once

// SpringBoard's passcode entry, and the alert view that an alert puts over the lock screen.

#include "platform/uikit/UIImageView.h"
#include "platform/uikit/UIView.h"

class SBSlidingAlertDisplay : public UIImageView {
public:
    CV_DECLARE_CLASS()
    SBSlidingAlertDisplay();

    // Sent through the method table when the passcode is accepted or the entry cancelled.
    void deviceUnlockSucceeded();
    void deviceUnlockCanceled();

private:
    static void succeededImplementation(id self, SEL cmd);
    static void canceledImplementation(id self, SEL cmd);
};

class SBAlertView : public UIImageView {
public:
    CV_DECLARE_CLASS()
    SBAlertView();

    // Sent through the method table once the alert is on screen.
    void alertDisplayBecameVisible();

private:
    static void becameVisibleImplementation(id self, SEL cmd);
};

// The lock controller of devices that keep the passcode setting.
class SBDeviceLockController : public NSObject {
public:
    CV_DECLARE_CLASS()
    static SBDeviceLockController* sharedController();
    SBDeviceLockController();

    // Sent through the method table: whether the device has a passcode.
    bool isPasswordProtected();

private:
    static bool isPasswordProtectedImplementation(id self, SEL cmd);
};
