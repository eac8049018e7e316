#pragma once

// SpringBoard's private interface, as the platform's own headers for it would give it: the
// messages its classes answer, each with its type, and the twenty methods a tweak may replace, in
// the order Corvane installs them. The tweak sends and replaces these by name (it never links
// SpringBoard); the simulated SpringBoard implements them. Both include this one header, which
// belongs to neither, so a selector and its type are written once.

#include "platform/graphics/CGGeometry.h"
#include "platform/graphics/IOSurface.h"
#include "platform/runtime/Message.h"
#include "platform/uikit/UIImage.h"
#include "platform/uikit/UIResponder.h"
#include "platform/uikit/UIView.h"

#include <string>

namespace SB {

// SBAwayController, the lock controller.
inline constinit const ClassMessage<id()> sharedAwayController{"sharedAwayController"};
inline constinit const ClassMessage<id()> sharedAwayControllerIfExists{
    "sharedAwayControllerIfExists"};
inline constinit const Message<bool()> isLocked{"isLocked"};
inline constinit const Message<id()> awayView{"awayView"};
// Also answered by SBDeviceLockController.
inline constinit const Message<bool()> isPasswordProtected{"isPasswordProtected"};
inline constinit const Message<void(bool sound)> unlockWithSound{"unlockWithSound:"};
inline constinit const Message<void(bool sound, bool isAutoUnlock)> unlockWithSoundIsAutoUnlock{
    "unlockWithSound:isAutoUnlock:"};
inline constinit const Message<void(float seconds)> restartDimTimer{"restartDimTimer:"};
inline constinit const Message<bool()> isShowingMediaControls{"isShowingMediaControls"};
inline constinit const Message<bool()> isSyncing{"isSyncing"};
// The internal unlock routine that both unlock requests run.
inline constinit const Message<void(bool sound, int unlockSource, bool isAutoUnlock,
                                    bool bypassPinLock)>
    _unlockWithSound{"_unlockWithSound:unlockSource:isAutoUnlock:bypassPinLock:"};
inline constinit const Message<void(bool animated)> dismissCameraAnimated{
    "dismissCameraAnimated:"};
inline constinit const Message<void()> activateCamera{"activateCamera"};
inline constinit const Message<void(id notification)> pluginFullscreenNotification{
    "pluginFullscreenNotification:"};
inline constinit const Message<void()> didFinishAnimatingOut{"didFinishAnimatingOut"};

// SBAwayView, the lock-screen view; renderSnapshot is answered by every view.
inline constinit const Message<UIImageRef()> renderSnapshot{"renderSnapshot"};
inline constinit const Message<id()> topBar{"topBar"};
inline constinit const Message<void(bool dimmed)> setDimmed{"setDimmed:"};
inline constinit const Message<void()> startAnimations{"startAnimations"};

// SBAwayDateView, the clock's holder.
inline constinit const Message<void(bool showing)> setIsShowingControls{"setIsShowingControls:"};

// SBAlertView and SBSlidingAlertDisplay (the passcode entry).
inline constinit const Message<void()> alertDisplayBecameVisible{"alertDisplayBecameVisible"};
inline constinit const Message<void()> deviceUnlockCanceled{"deviceUnlockCanceled"};
inline constinit const Message<void()> deviceUnlockSucceeded{"deviceUnlockSucceeded"};

// SBDeviceLockController.
inline constinit const ClassMessage<id()> sharedController{"sharedController"};

// SBStatusBarController.
inline constinit const ClassMessage<id()> sharedStatusBarController{"sharedStatusBarController"};
inline constinit const Message<void(bool lockVisible, bool timeVisible)> setIsLockVisible{
    "setIsLockVisible:isTimeVisible:"};

// SBUIController, the home screen.
inline constinit const ClassMessage<id()> sharedInstance{"sharedInstance"};
inline constinit const Message<void(bool animated)> restoreIconListAnimated{
    "restoreIconListAnimated:"};
inline constinit const Message<id()> contentView{"contentView"};

// SpringBoard, the application object.
inline constinit const Message<id()> init{"init"};
inline constinit const Message<void(id event)> lockButtonDown{"lockButtonDown:"};
inline constinit const Message<void()> autoLock{"autoLock"};
inline constinit const Message<id()> _accessibilityFrontMostApplication{
    "_accessibilityFrontMostApplication"};

// SBApplication and its context host manager.
inline constinit const Message<std::string()> bundleIdentifier{"bundleIdentifier"};
inline constinit const Message<id()> contextHostManager{"contextHostManager"};
inline constinit const Message<IOSurfaceRef(CGRect frame)> createIOSurfaceForFrame{
    "createIOSurfaceForFrame:"};

// SBLinenView.
inline constinit const ClassMessage<UIImageRef(CGRect bounds)> squareImageForBounds{
    "squareImageForBounds:"};

// The methods a tweak replaces, by class.
namespace replaceable {
inline constinit const ReplaceableMethod awayViewTouchesBegan{"SBAwayView",
                                                              UIResponderMessage::touchesBegan};
inline constinit const ReplaceableMethod awayViewTouchesMoved{"SBAwayView",
                                                              UIResponderMessage::touchesMoved};
inline constinit const ReplaceableMethod awayViewTouchesEnded{"SBAwayView",
                                                              UIResponderMessage::touchesEnded};
inline constinit const ReplaceableMethod awayViewSetDimmed{"SBAwayView", setDimmed};
inline constinit const ReplaceableMethod awayViewStartAnimations{"SBAwayView", startAnimations};
inline constinit const ReplaceableMethod alertDisplayBecameVisible{"SBAlertView",
                                                                   SB::alertDisplayBecameVisible};
inline constinit const ReplaceableMethod unlockRoutine{"SBAwayController", _unlockWithSound};
inline constinit const ReplaceableMethod dismissCameraAnimated{"SBAwayController",
                                                               SB::dismissCameraAnimated};
inline constinit const ReplaceableMethod activateCamera{"SBAwayController", SB::activateCamera};
inline constinit const ReplaceableMethod pluginFullscreenNotification{
    "SBAwayController", SB::pluginFullscreenNotification};
inline constinit const ReplaceableMethod didFinishAnimatingOut{"SBAwayController",
                                                               SB::didFinishAnimatingOut};
inline constinit const ReplaceableMethod springBoardInit{"SpringBoard", init};
inline constinit const ReplaceableMethod lockButtonDown{"SpringBoard", SB::lockButtonDown};
inline constinit const ReplaceableMethod autoLock{"SpringBoard", SB::autoLock};
inline constinit const ReplaceableMethod clockSetHidden{"TPLCDView", UIViewMessage::setHidden};
inline constinit const ReplaceableMethod dateViewInitWithFrame{"SBAwayDateView",
                                                               UIViewMessage::initWithFrame};
inline constinit const ReplaceableMethod dateViewSetIsShowingControls{"SBAwayDateView",
                                                                      setIsShowingControls};
inline constinit const ReplaceableMethod statusBarSetIsLockVisible{"SBStatusBarController",
                                                                   setIsLockVisible};
inline constinit const ReplaceableMethod deviceUnlockCanceled{"SBSlidingAlertDisplay",
                                                              SB::deviceUnlockCanceled};
inline constinit const ReplaceableMethod deviceUnlockSucceeded{"SBSlidingAlertDisplay",
                                                               SB::deviceUnlockSucceeded};
}  // namespace replaceable

// Calls `visit` with each of the twenty replaceable methods, in the order of installation.
template <typename Visitor>
void forEachReplaceableMethod(Visitor&& visit) {
    namespace row = replaceable;
    visit(row::awayViewTouchesBegan);
    visit(row::awayViewTouchesMoved);
    visit(row::awayViewTouchesEnded);
    visit(row::awayViewSetDimmed);
    visit(row::awayViewStartAnimations);
    visit(row::alertDisplayBecameVisible);
    visit(row::unlockRoutine);
    visit(row::dismissCameraAnimated);
    visit(row::activateCamera);
    visit(row::pluginFullscreenNotification);
    visit(row::didFinishAnimatingOut);
    visit(row::springBoardInit);
    visit(row::lockButtonDown);
    visit(row::autoLock);
    visit(row::clockSetHidden);
    visit(row::dateViewInitWithFrame);
    visit(row::dateViewSetIsShowingControls);
    visit(row::statusBarSetIsLockVisible);
    visit(row::deviceUnlockCanceled);
    visit(row::deviceUnlockSucceeded);
}

}  // namespace SB
