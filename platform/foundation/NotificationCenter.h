#pragma once

// The Darwin notification centre: system-wide notifications that carry only a name. Observers
// are called through the main run loop of their process; a post reaches observers in this
// process and, through the notification transport of the device root, in every other process
// of the same device.

#include "platform/foundation/Forward.h"
#include "platform/foundation/PropertyList.h"

#include <functional>
#include <string_view>

using CFNotificationName = std::string_view;
using CFDictionaryRef = const PlistDictionary*;

// The observer callback: centre, observer, name, object and user-info dictionary. For the Darwin
// centre the object and the dictionary are always null.
using CFNotificationCallback = void (*)(CFNotificationCenterRef center, void* observer,
                                        CFNotificationName name, const void* object,
                                        CFDictionaryRef userInfo);

enum CFNotificationSuspensionBehavior : int {
    CFNotificationSuspensionBehaviorDrop = 1,
    CFNotificationSuspensionBehaviorCoalesce = 2,
    CFNotificationSuspensionBehaviorHold = 3,
    CFNotificationSuspensionBehaviorDeliverImmediately = 4,
};

// The process's Darwin centre.
CFNotificationCenterRef CFNotificationCenterGetDarwinNotifyCenter();

// Registers `callback` for `name`. The process starts listening for posts of other processes.
// The suspension behaviour is recorded; this process is never suspended, and posts that arrive
// while its run loop is not running wait in the transport until it runs (they are held).
void CFNotificationCenterAddObserver(CFNotificationCenterRef center, const void* observer,
                                     CFNotificationCallback callback, CFNotificationName name,
                                     const void* object,
                                     CFNotificationSuspensionBehavior suspensionBehavior);

// Removes the observer's registration for `name`.
void CFNotificationCenterRemoveObserver(CFNotificationCenterRef center, const void* observer,
                                        CFNotificationName name, const void* object);

// Removes every registration of the observer.
void CFNotificationCenterRemoveEveryObserver(CFNotificationCenterRef center, const void* observer);

// Posts `name`. Observers of this process are called at the next turn of the main run loop;
// other processes of the device root receive it through the transport. Object and user info
// are not carried by the Darwin centre.
void CFNotificationCenterPostNotification(CFNotificationCenterRef center, CFNotificationName name,
                                          const void* object, CFDictionaryRef userInfo,
                                          bool deliverImmediately);

// For hosts: `tap` sees every notification delivered in this process, before its observers.
void CFNotificationCenterSetDeliveryTap(CFNotificationCenterRef center,
                                        std::function<void(std::string_view name)> tap);

// For hosts: `tap` sees every notification this process posts, as it is posted.
void CFNotificationCenterSetPostTap(CFNotificationCenterRef center,
                                    std::function<void(std::string_view name)> tap);

// For hosts and tests: starts listening for other processes' posts without an observer, and
// reads what has arrived so far onto the run loop.
void CFNotificationCenterListen(CFNotificationCenterRef center);
