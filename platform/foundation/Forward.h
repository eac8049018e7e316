#pragma once

// Foundation's classes, declared for headers that only name them.

class CFNotificationCenter;
class Clock;
class NSBundle;
class NSException;
class PlistValue;
class RunLoop;

using CFNotificationCenterRef = CFNotificationCenter*;
