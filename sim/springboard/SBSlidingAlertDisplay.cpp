#include "sim/springboard/SBSlidingAlertDisplay.h"

#include "sim/springboard/SBAwayController.h"

Class SBSlidingAlertDisplay::class_() {
    static const Class cls = objc_defineClass(
        "SBSlidingAlertDisplay", UIImageView::class_(),
        {{"deviceUnlockSucceeded", imp_cast(&succeededImplementation)},
         {"deviceUnlockCanceled", imp_cast(&canceledImplementation)}});
    return cls;
}

SBSlidingAlertDisplay::SBSlidingAlertDisplay() : UIImageView(class_()) {
    setUserInteractionEnabled(true);
}

void SBSlidingAlertDisplay::deviceUnlockSucceeded() {
    objc_msgSend(this, CV_SELECTOR("deviceUnlockSucceeded"));
}

void SBSlidingAlertDisplay::deviceUnlockCanceled() {
    objc_msgSend(this, CV_SELECTOR("deviceUnlockCanceled"));
}

void SBSlidingAlertDisplay::succeededImplementation(id, SEL) {
    SBAwayController::sharedAwayController()->passcodeFinished(true);
}

void SBSlidingAlertDisplay::canceledImplementation(id, SEL) {
    SBAwayController::sharedAwayController()->passcodeFinished(false);
}

Class SBAlertView::class_() {
    static const Class cls =
        objc_defineClass("SBAlertView", UIImageView::class_(),
                         {{"alertDisplayBecameVisible", imp_cast(&becameVisibleImplementation)}});
    return cls;
}

SBAlertView::SBAlertView() : UIImageView(class_()) { setUserInteractionEnabled(true); }

void SBAlertView::alertDisplayBecameVisible() {
    objc_msgSend(this, CV_SELECTOR("alertDisplayBecameVisible"));
}

void SBAlertView::becameVisibleImplementation(id, SEL) {}

Class SBDeviceLockController::class_() {
    static const Class cls = objc_defineClass(
        "SBDeviceLockController", NSObject::class_(),
        {{"isPasswordProtected", imp_cast(&isPasswordProtectedImplementation)},
         {"+sharedController", imp_cast(+[](Class, SEL) -> id { return sharedController(); })}});
    return cls;
}

SBDeviceLockController* SBDeviceLockController::sharedController() {
    static SBDeviceLockController* shared = new SBDeviceLockController;
    return shared;
}

SBDeviceLockController::SBDeviceLockController() : NSObject(class_()) {}

bool SBDeviceLockController::isPasswordProtected() {
    return objc_msgSend<bool>(this, CV_SELECTOR("isPasswordProtected"));
}

bool SBDeviceLockController::isPasswordProtectedImplementation(id, SEL) {
    return SBAwayController::sharedAwayController()->hasPasscode();
}
