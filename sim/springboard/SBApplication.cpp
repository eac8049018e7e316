#include "sim/springboard/SBApplication.h"

#include "platform/uikit/UIApplication.h"
#include "platform/uikit/UIScreen.h"
#include "sim/springboard/SpringBoardArtwork.h"

CV_REGISTER_CLASS(SBContextHostManager, NSObject)
CV_REGISTER_CLASS(SBApplication, NSObject)
CV_REGISTER_CLASS(SBUIController, NSObject)
CV_REGISTER_CLASS(SBLinenView, NSObject)

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
