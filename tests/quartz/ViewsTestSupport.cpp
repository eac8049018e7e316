#include "ViewsTestSupport.h"


namespace {

void didStart(id self, SEL, CAAnimation* animation) {
    static_cast<Recorder*>(self)->log.push_back("start " +
                                                CAValueStringValue(animation->valueForKey("id")));
}

void didStop(id self, SEL, CAAnimation* animation, bool finished) {
    auto* recorder = static_cast<Recorder*>(self);
    const std::string id = CAValueStringValue(animation->valueForKey("id"));
    recorder->log.push_back("stop " + id + (finished ? " finished" : " cut"));
    recorder->animationIds.push_back(id);
}

void blockDidStop(id self, SEL, const char* animationID, bool finished, void* context) {
    auto* recorder = static_cast<Recorder*>(self);
    recorder->log.push_back(std::string("block ") + (animationID ? animationID : "nil") +
                            (finished ? " finished" : " cut"));
    recorder->lastContext = context;
}

void onGesture(id self, SEL, UIGestureRecognizer* recognizer) {
    static_cast<Recorder*>(self)->log.push_back("gesture " + std::to_string(recognizer->state()));
}

}  // namespace

Class Recorder::class_() {
    static const Class cls = objc_defineClass(
        "TestRecorder", NSObject::class_(),
        {CAAnimationDelegateMessage::animationDidStart.implementedBy(&didStart),
         CAAnimationDelegateMessage::animationDidStop.implementedBy(&didStop),
         RecorderMessage::blockDidStop.implementedBy(&blockDidStop),
         RecorderMessage::onGesture.implementedBy(&onGesture)});
    return cls;
}
