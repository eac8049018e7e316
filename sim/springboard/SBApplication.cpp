#include "sim/springboard/SBApplication.h"

#include "platform/uikit/UIApplication.h"
#include "platform/uikit/UIScreen.h"
#include "sim/springboard/SpringBoardArtwork.h"
#include "platform/springboard/SpringBoardInterface.h"

Class SBContextHostManager::class_() {
    static const Class cls = objc_defineClass(
        "SBContextHostManager", NSObject::class_(),
        {SB::createIOSurfaceForFrame.implementedBy([](id self, SEL, CGRect frame) {
            return static_cast<SBContextHostManager*>(self)->createIOSurfaceForFrame(frame);
        })});
    return cls;
}

Class SBApplication::class_() {
    static const Class cls = objc_defineClass(
        "SBApplication", NSObject::class_(),
        {SB::bundleIdentifier.implementedBy([](id self, SEL) {
             return static_cast<SBApplication*>(self)->bundleIdentifier();
         }),
         SB::contextHostManager.implementedBy([](id self, SEL) -> id {
             return static_cast<SBApplication*>(self)->contextHostManager();
         })});
    return cls;
}

Class SBUIController::class_() {
    static const Class cls = objc_defineClass(
        "SBUIController", NSObject::class_(),
        {SB::sharedInstance.implementedBy([](Class, SEL) -> id { return sharedInstance(); }),
         SB::restoreIconListAnimated.implementedBy([](id self, SEL, bool animated) {
             static_cast<SBUIController*>(self)->restoreIconListAnimated(animated);
         }),
         SB::contentView.implementedBy([](id self, SEL) -> id {
             return static_cast<SBUIController*>(self)->contentView();
         })});
    return cls;
}

Class SBLinenView::class_() {
    static const Class cls = objc_defineClass(
        "SBLinenView", NSObject::class_(),
        {SB::squareImageForBounds.implementedBy(
            [](Class, SEL, CGRect bounds) { return squareImageForBounds(bounds); })});
    return cls;
}

SBContextHostManager::SBContextHostManager(std::string bundleIdentifier)
    : NSObject(class_()), bundleIdentifier_(std::move(bundleIdentifier)) {}

IOSurfaceRef SBContextHostManager::createIOSurfaceForFrame(CGRect frame) const {
    if (frame.size.width <= 0 || frame.size.height <= 0) return nullptr;
    const auto picture = SpringBoardArtwork::application(bundleIdentifier_, frame.size,
                                                          UIScreen::mainScreen()->scale());
    if (!picture) return nullptr;
    return std::make_shared<IOSurface>(IOSurface{picture->CGImage()});
}

SBApplication::SBApplication(std::string bundleIdentifier)
    : NSObject(class_()),
      bundleIdentifier_(std::move(bundleIdentifier)),
      manager_(std::make_shared<SBContextHostManager>(bundleIdentifier_)) {}

SBUIController* SBUIController::sharedInstance() {
    static SBUIController* shared = new SBUIController;  // lives with SpringBoard
    return shared;
}

SBUIController::SBUIController() : NSObject(class_()) {
    const CGRect bounds = UIScreen::mainScreen()->bounds();
    window_ = UIView::create<UIWindow>(bounds);
    contentView_ = UIView::create<UIImageView>(bounds);
    contentView_->setImage(SpringBoardArtwork::homeScreen(bounds.size, UIScreen::mainScreen()->scale()));
    contentView_->setUserInteractionEnabled(true);
    window_->addSubview(contentView_);
    UIApplication::sharedApplication()->addWindow(window_);
}

UIImageRef SBLinenView::squareImageForBounds(CGRect bounds) {
    return SpringBoardArtwork::linen(bounds.size, UIScreen::mainScreen()->scale());
}
