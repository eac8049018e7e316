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

    // A key of the keypad typed, a digit or '\b' to take the last one back. The simulated
    // device takes any four digits: the fourth accepts the passcode a moment after its dot shows.
    void typeKey(char key);
    int digitsEntered() const { return digits_; }

private:
    static void succeededImplementation(id self, SEL cmd);
    static void canceledImplementation(id self, SEL cmd);
    static void touchesEndedImplementation(id self, SEL cmd, const UITouchSet* touches, UIEvent* event);
    void showDigits();

    int digits_ = 0;
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
