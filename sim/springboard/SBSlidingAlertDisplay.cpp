#include "sim/springboard/SBSlidingAlertDisplay.h"

#include "platform/foundation/RunLoop.h"
#include "platform/uikit/UIEvent.h"
#include "platform/uikit/UIScreen.h"
#include "platform/uikit/UITouch.h"
#include "platform/uikit/UITouchSet.h"
#include "sim/springboard/SBAwayController.h"
#include "sim/springboard/SpringBoardArtwork.h"

#include <algorithm>
#include "platform/springboard/SpringBoardInterface.h"

Class SBSlidingAlertDisplay::class_() {
    static const Class cls = objc_defineClass(
        "SBSlidingAlertDisplay", UIImageView::class_(),
        {SB::deviceUnlockSucceeded.implementedBy(&succeededImplementation),
         SB::deviceUnlockCanceled.implementedBy(&canceledImplementation),
         UIResponderMessage::touchesEnded.implementedBy(&touchesEndedImplementation)});
    return cls;
}

SBSlidingAlertDisplay::SBSlidingAlertDisplay() : UIImageView(class_()) {
    setUserInteractionEnabled(true);
}

void SBSlidingAlertDisplay::deviceUnlockSucceeded() { SB::deviceUnlockSucceeded.send(this); }

void SBSlidingAlertDisplay::deviceUnlockCanceled() { SB::deviceUnlockCanceled.send(this); }

void SBSlidingAlertDisplay::typeKey(char key) {
    if (digits_ == 4) return;  // accepted already
    if (key == '\b') {
        digits_ = std::max(digits_ - 1, 0);
    } else if (key >= '0' && key <= '9') {
        ++digits_;
    } else {
        return;
    }
    showDigits();
    if (digits_ < 4) return;
    RunLoop::main().scheduleAfter(std::chrono::milliseconds(150), [] {
        SBAwayController::sharedAwayController()->enterPasscode();
    });
}

void SBSlidingAlertDisplay::showDigits() {
    setImage(SpringBoardArtwork::passcodeEntry(bounds().size, UIScreen::mainScreen()->scale(), digits_));
}

void SBSlidingAlertDisplay::touchesEndedImplementation(id self, SEL, const UITouchSet* touches,
                                                       UIEvent*) {
    auto* display = static_cast<SBSlidingAlertDisplay*>(self);
    const UITouch* touch = touches->anyObject();
    if (!touch) return;
    const auto key = SpringBoardArtwork::passcodeKeyAt(display->bounds().size, touch->locationInView(display));
    if (key) display->typeKey(*key);
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
