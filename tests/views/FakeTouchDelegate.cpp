#include "tests/views/FakeTouchDelegate.h"

#include "platform/springboard/SpringBoardInterface.h"

#include <sstream>

namespace {

// An instance of the SBAwayController stand-in.
class StandInSpringBoardController : public NSObject {
public:
    explicit StandInSpringBoardController(Class cls) : NSObject(cls) {}
};

void restartDimTimer(id, SEL, float seconds) {
    std::ostringstream line;
    line << "restartDimTimer: " << seconds;
    FakeTouchDelegate::log().push_back(line.str());
}

id sharedAwayController(Class cls, SEL) {
    static StandInSpringBoardController controller(cls);
    return &controller;
}

}  // namespace

UIView* FakeTouchDelegate::lockScreenView() {
    ++awayViewRequests;
    return awayView;
}

void FakeTouchDelegate::lockscreenTouchesBegan(const UITouchSet* touches) {
    log().emplace_back("lockscreenTouchesBegan");
    lastTouches = touches;
}

void FakeTouchDelegate::lockscreenTouchesMoved(const UITouchSet* touches) {
    log().emplace_back("lockscreenTouchesMoved");
    lastTouches = touches;
}

void FakeTouchDelegate::lockscreenTouchesEnded(const UITouchSet* touches) {
    log().emplace_back("lockscreenTouchesEnded");
    lastTouches = touches;
}

std::vector<std::string>& FakeTouchDelegate::log() {
    static std::vector<std::string> lines;
    return lines;
}

void FakeTouchDelegate::registerSpringBoardController() {
    objc_defineClass("SBAwayController", NSObject::class_(),
                     {SB::restartDimTimer.implementedBy(&restartDimTimer),
                      SB::sharedAwayController.implementedBy(&sharedAwayController)});
}
