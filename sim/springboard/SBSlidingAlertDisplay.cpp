#include "sim/springboard/SBSlidingAlertDisplay.h"

#include "sim/springboard/SBAwayController.h"
#include "tweak/springboard/SpringBoardInterface.h"

Class SBSlidingAlertDisplay::class_() {
    static const Class cls = objc_defineClass(
        "SBSlidingAlertDisplay", UIImageView::class_(),
        {SB::deviceUnlockSucceeded.implementedBy(&succeededImplementation),
         SB::deviceUnlockCanceled.implementedBy(&canceledImplementation)});
    return cls;
}

SBSlidingAlertDisplay::SBSlidingAlertDisplay() : UIImageView(class_()) {
    setUserInteractionEnabled(true);
}

void SBSlidingAlertDisplay::deviceUnlockSucceeded() { SB::deviceUnlockSucceeded.send(this); }

void SBSlidingAlertDisplay::deviceUnlockCanceled() { SB::deviceUnlockCanceled.send(this); }

void SBSlidingAlertDisplay::succeededImplementation(id, SEL) {
    SBAwayController::sharedAwayController()->passcodeFinished(true);
}

void SBSlidingAlertDisplay::canceledImplementation(id, SEL) {
    SBAwayController::sharedAwayController()->passcodeFinished(false);
}

Class SBAlertView::class_() {
    static const Class cls =
        objc_defineClass("SBAlertView", UIImageView::class_(),
                         {SB::alertDisplayBecameVisible.implementedBy(&becameVisibleImplementation)});
    return cls;
}

SBAlertView::SBAlertView() : UIImageView(class_()) { setUserInteractionEnabled(true); }

void SBAlertView::alertDisplayBecameVisible() { SB::alertDisplayBecameVisible.send(this); }

void SBAlertView::becameVisibleImplementation(id, SEL) {}

Class SBDeviceLockController::class_() {
    static const Class cls = objc_defineClass(
        "SBDeviceLockController", NSObject::class_(),
        {SB::isPasswordProtected.implementedBy(&isPasswordProtectedImplementation),
         SB::sharedController.implementedBy([](Class, SEL) -> id { return sharedController(); })});
    return cls;
}

SBDeviceLockController* SBDeviceLockController::sharedController() {
    static SBDeviceLockController* shared = new SBDeviceLockController;
    return shared;
}

SBDeviceLockController::SBDeviceLockController() : NSObject(class_()) {}

bool SBDeviceLockController::isPasswordProtected() { return SB::isPasswordProtected.send(this); }

bool SBDeviceLockController::isPasswordProtectedImplementation(id, SEL) {
    return SBAwayController::sharedAwayController()->hasPasscode();
}
