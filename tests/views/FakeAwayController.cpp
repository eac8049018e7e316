#include "tests/views/FakeAwayController.h"

#include "platform/runtime/objc.h"
#include "tweak/session/CVAwayController.h"
#include "tweak/session/CVSessionState.h"

#include <sstream>

namespace {

UIView* answeredAwayView = nullptr;
int requests = 0;
const UITouchSet* touchesSeen = nullptr;

void record(const char* phase, const UITouchSet* touches) {
    fake_controller::log().emplace_back(phase);
    touchesSeen = touches;
}

// An instance of the SBAwayController stand-in.
class StandInSpringBoardController : public NSObject {
public:
    explicit StandInSpringBoardController(Class cls) : NSObject(cls) {}
};

void restartDimTimer(id, SEL, float seconds) {
    std::ostringstream line;
    line << "restartDimTimer: " << seconds;
    fake_controller::log().push_back(line.str());
}

id sharedAwayController(Class cls, SEL) {
    static StandInSpringBoardController controller(cls);
    return &controller;
}

}  // namespace

namespace fake_controller {

void setAwayView(UIView* view) {
    answeredAwayView = view;
}
int awayViewRequests() {
    return requests;
}
std::vector<std::string>& log() {
    static std::vector<std::string> lines;
    return lines;
}
const UITouchSet* lastTouches() {
    return touchesSeen;
}

void reset() {
    answeredAwayView = nullptr;
    requests = 0;
    touchesSeen = nullptr;
    log().clear();
}

void registerSpringBoardController() {
    objc_defineClass("SBAwayController", NSObject::class_(),
                     {{"+sharedAwayController", imp_cast(&sharedAwayController)},
                      {"restartDimTimer:", imp_cast(&restartDimTimer)}});
}

}  // namespace fake_controller

// The parts of the session controller that the views call.

CV_REGISTER_CLASS(CVAwayController, UIViewController)

CVAwayController::CVAwayController() : UIViewController(class_()) {}

CVAwayController& CVAwayController::sharedCVAwayController() {
    static CVAwayController controller;
    return controller;
}

UIView* CVAwayController::getAwayView() {
    ++requests;
    return answeredAwayView;
}

void CVAwayController::lockscreenTouchesBegan(const UITouchSet* touches) {
    record("lockscreenTouchesBegan", touches);
}

void CVAwayController::lockscreenTouchesMoved(const UITouchSet* touches) {
    record("lockscreenTouchesMoved", touches);
}

void CVAwayController::lockscreenTouchesEnded(const UITouchSet* touches) {
    record("lockscreenTouchesEnded", touches);
}

CVSessionState& CVSession() {
    static CVSessionState state;
    return state;
}
