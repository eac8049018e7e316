#pragma once

// The SpringBoard application object: made at start and sent init through the method table;
// it owns the home screen, the status bar and the lock controller, answers the lock button and
// the auto-lock timer, and knows the front-most application.

#include "platform/uikit/UIApplication.h"
#include "sim/springboard/SBApplication.h"

#include <memory>
#include <string>

class SpringBoard : public UIApplication {
public:
    CV_DECLARE_CLASS()

    // The application object once it exists, else nil.
    static SpringBoard* shared();

    SpringBoard();

    // Sent through the method table.
    id init();
    void lockButtonDown(id event);
    void autoLock();
    // The front-most application, or nil on the home screen.
    SBApplication* _accessibilityFrontMostApplication();

    // Sends autoLock when SpringBoard still has it.
    void sendAutoLock();
    // Makes `bundleIdentifier` the front-most application (empty: the home screen).
    void setFrontMostApplication(const std::string& bundleIdentifier);

private:
    static id initImplementation(id self, SEL cmd);
    static void lockButtonDownImplementation(id self, SEL cmd, id event);
    static void autoLockImplementation(id self, SEL cmd);
    static id frontMostImplementation(id self, SEL cmd);

    std::shared_ptr<SBApplication> frontMost_;
    std::shared_ptr<UIWindow> applicationWindow_;
};
