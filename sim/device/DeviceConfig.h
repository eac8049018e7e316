#pragma once

// What a script sets up before boot: the device, its screen and the SpringBoard that runs on it.

#include "platform/uikit/UIApplication.h"

#include <set>
#include <string>

struct DeviceConfig {
    std::string model = "iPhone";       // "iPhone", "iPad" or "iPod touch"
    float screenWidth = 320;            // points
    float screenHeight = 480;
    float screenScale = 1;              // pixels per point
    UIInterfaceOrientation orientation = UIInterfaceOrientationPortrait;  // of the status bar
    bool passcode = false;              // the device has a passcode
    std::string frontApp;               // bundle identifier in front when locking; empty: home
    std::set<std::string> withoutSelectors;  // selectors the simulated SpringBoard lacks
};
