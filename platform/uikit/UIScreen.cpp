#include "platform/uikit/UIScreen.h"

#include <memory>

CV_REGISTER_CLASS(UIScreen, NSObject)

UIScreen* UIScreen::mainScreen() {
    static const auto screen = std::make_shared<UIScreen>();
    return screen.get();
}

UIScreen::UIScreen(Class cls) : NSObject(cls) {}
