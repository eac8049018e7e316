#include "sim/springboard/SpringBoard.h"

#include "platform/uikit/UIScreen.h"
#include "sim/springboard/SBAwayController.h"
#include "sim/springboard/SBStatusBarController.h"
#include "sim/springboard/SpringBoardArtwork.h"

namespace {

SpringBoard* sharedSpringBoard = nullptr;
constexpr UIWindowLevel kApplicationLevel = 1;

}  // namespace

Class SpringBoard::class_() {
    static const Class cls = objc_defineClass(
        "SpringBoard", UIApplication::class_(),
        {{"init", imp_cast(&initImplementation)},
         {"lockButtonDown:", imp_cast(&lockButtonDownImplementation)},
         {"autoLock", imp_cast(&autoLockImplementation)},
         {"_accessibilityFrontMostApplication", imp_cast(&frontMostImplementation)}});
    return cls;
}

SpringBoard* SpringBoard::shared() { return sharedSpringBoard; }

SpringBoard::SpringBoard() : UIApplication(class_()) { sharedSpringBoard = this; }

id SpringBoard::init() { return objc_msgSend<id>(this, CV_SELECTOR("init")); }

void SpringBoard::lockButtonDown(id event) {
    objc_msgSend(this, CV_SELECTOR("lockButtonDown:"), event);
}

void SpringBoard::autoLock() { objc_msgSend(this, CV_SELECTOR("autoLock")); }

SBApplication* SpringBoard::_accessibilityFrontMostApplication() {
    return static_cast<SBApplication*>(
        objc_msgSend<id>(this, CV_SELECTOR("_accessibilityFrontMostApplication")));
}

void SpringBoard::sendAutoLock() {
    if (respondsToSelector(CV_SELECTOR("autoLock"))) autoLock();
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
