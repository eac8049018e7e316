#include "sim/springboard/SpringBoard.h"

#include "platform/uikit/UIScreen.h"
#include "sim/springboard/SBAwayController.h"
#include "sim/springboard/SBStatusBarController.h"
#include "sim/springboard/SpringBoardArtwork.h"
#include "platform/springboard/SpringBoardInterface.h"

namespace {

SpringBoard* sharedSpringBoard = nullptr;
constexpr UIWindowLevel kApplicationLevel = 1;

}  // namespace

Class SpringBoard::class_() {
    static const Class cls = objc_defineClass(
        "SpringBoard", UIApplication::class_(),
        {SB::init.implementedBy(&initImplementation),
         SB::lockButtonDown.implementedBy(&lockButtonDownImplementation),
         SB::autoLock.implementedBy(&autoLockImplementation),
         SB::_accessibilityFrontMostApplication.implementedBy(&frontMostImplementation)});
    return cls;
}

SpringBoard* SpringBoard::shared() { return sharedSpringBoard; }

SpringBoard::SpringBoard() : UIApplication(class_()) { sharedSpringBoard = this; }

id SpringBoard::init() { return SB::init.send(this); }

void SpringBoard::lockButtonDown(id event) { SB::lockButtonDown.send(this, event); }

void SpringBoard::autoLock() { SB::autoLock.send(this); }

SBApplication* SpringBoard::_accessibilityFrontMostApplication() {
    return objc_cast<SBApplication>(SB::_accessibilityFrontMostApplication.send(this));
}

void SpringBoard::sendAutoLock() {
    if (SB::autoLock.isAnsweredBy(this)) autoLock();
}

// SpringBoard's start: the home screen, the status bar and the lock controller exist from here.
id SpringBoard::initImplementation(id self, SEL) {
    SBUIController::sharedInstance();
    SBStatusBarController::sharedStatusBarController();
    SBAwayController::sharedAwayController();
    return self;
}

// The lock button locks an unlocked device, turns a lit lock screen off and a dark one on.
void SpringBoard::lockButtonDownImplementation(id, SEL, id) {
    auto* away = SBAwayController::sharedAwayController();
    if (!away->isLocked()) {
        away->lock();
    } else if (away->isDimmed()) {
        away->wake();
    } else {
        away->dim();
    }
}

void SpringBoard::autoLockImplementation(id, SEL) {
    auto* away = SBAwayController::sharedAwayController();
    if (!away->isLocked()) away->lock();
}

id SpringBoard::frontMostImplementation(id self, SEL) {
    return static_cast<SpringBoard*>(self)->frontMost_.get();
}

void SpringBoard::setFrontMostApplication(const std::string& bundleIdentifier) {
    if (applicationWindow_) removeWindow(applicationWindow_.get());
    applicationWindow_.reset();
    frontMost_.reset();
    if (bundleIdentifier.empty()) return;
    frontMost_ = std::make_shared<SBApplication>(bundleIdentifier);
    const CGRect bounds = UIScreen::mainScreen()->bounds();
    applicationWindow_ = UIView::create<UIWindow>(bounds);
    applicationWindow_->setWindowLevel(kApplicationLevel);
    auto screen = UIView::create<UIImageView>(bounds);
    screen->setImage(UIImage::imageWithIOSurface(
        frontMost_->contextHostManager()->createIOSurfaceForFrame(bounds),
        UIScreen::mainScreen()->scale(), 0));
    screen->setUserInteractionEnabled(true);
    applicationWindow_->addSubview(screen);
    addWindow(applicationWindow_);
}
