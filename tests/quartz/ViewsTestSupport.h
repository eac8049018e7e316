#pragma once

// Shared by the layer and view tests: advancing the main run loop's virtual clock, and an object
// that records the messages animations and recognisers send it through the method tables.

#include "platform/foundation/RunLoop.h"
#include "platform/graphics/CGImage.h"
#include "platform/quartz/CAAnimation.h"
#include "platform/runtime/NSObject.h"
#include "platform/runtime/Runtime.h"
#include "platform/uikit/UIGestureRecognizer.h"
#include "platform/uikit/UIViewAnimation.h"

#include <string>
#include <vector>

// Runs the main run loop for `seconds` of virtual time.
inline void runFor(double seconds) {
    RunLoop::main().runUntil(RunLoop::main().now() + clockTimeFromSeconds(seconds));
}

// The did-stop selector and the recogniser action a Recorder answers.
namespace RecorderMessage {
inline constinit const UIAnimationDidStopMessage blockDidStop{"blockDidStop:finished:context:"};
inline constinit const UIGestureRecognizerAction onGesture{"onGesture:"};
}  // namespace RecorderMessage

// Receives animationDidStart:, animationDidStop:finished:, a did-stop selector of the view
// animation form and a recogniser action, writing one line per message.
class Recorder : public NSObject {
public:
    static Class class_();
    Recorder() : NSObject(class_()) {}

    std::vector<std::string> log;
    std::vector<std::string> animationIds;  // the "id" value of each stopped animation
    void* lastContext = nullptr;
};

// A premultiplied-free image of one colour.
inline CGImageRef solidImage(size_t width, size_t height, CGImagePixel pixel) {
    std::vector<CGImagePixel> pixels(width * height, pixel);
    return CGImageCreateWithPixels(width, height, pixels);
}
