#pragma once

// View animation blocks. Between beginAnimations and commitAnimations, changes of a view's frame,
// bounds, center, transform and alpha take effect in the model at once and are recorded; the
// commit turns each into a layer animation from the old drawn value to the new one, with the
// block's duration, delay and curve. Without beginsFromCurrentState the old value is the model
// value before the change; with it, the value drawn at that moment (mid-flight, if an animation
// was running). A new animation of a property replaces the running one, which stops unfinished.
//
// When every animation of a block has stopped, its did-stop selector goes to its delegate through
// the method tables as animationDidStop:finished:context: does, with the block's identifier,
// whether all of them ran to their end, and the block's context; a block that changed nothing stops
// at the next turn of the run loop. A did-stop selector, whatever its name, is declared as a
// UIAnimationDidStopMessage; its receivers may ignore the arguments.

#include "platform/quartz/CAValue.h"
#include "platform/quartz/Forward.h"
#include "platform/runtime/Message.h"
#include "platform/runtime/NSObject.h"

#include <functional>
#include <memory>
#include <string>

enum UIViewAnimationCurve : int {
    UIViewAnimationCurveEaseInOut = 0,
    UIViewAnimationCurveEaseIn = 1,
    UIViewAnimationCurveEaseOut = 2,
    UIViewAnimationCurveLinear = 3,
};

// Options of the block form, as the platform's bits.
enum UIViewAnimationOptions : unsigned {
    UIViewAnimationOptionNone = 0,
    UIViewAnimationOptionBeginFromCurrentState = 1u << 2,
    UIViewAnimationOptionCurveEaseInOut = 0u << 16,
    UIViewAnimationOptionCurveEaseIn = 1u << 16,
    UIViewAnimationOptionCurveEaseOut = 2u << 16,
    UIViewAnimationOptionCurveLinear = 3u << 16,
};

// The type of every did-stop selector.
using UIAnimationDidStopMessage =
    Message<void(const char* animationID, bool finished, void* context)>;

class UIViewAnimation {
public:
    // Opens a block (blocks nest; each commit closes the innermost). `animationID` may be null.
    static void beginAnimations(const char* animationID, void* context);
    // Closes the innermost block and starts its animations; nothing when no block is open.
    static void commitAnimations();
    // Settings of the open block; nothing outside a block. Defaults: 0.2 s, no delay, ease in and
    // out, no delegate, not from the current state.
    static void setAnimationDuration(double seconds);
    static void setAnimationDelay(double seconds);
    static void setAnimationCurve(UIViewAnimationCurve curve);
    static void setAnimationDelegate(id delegate);
    static void setAnimationDidStopSelector(SEL selector);
    static void setAnimationBeginsFromCurrentState(bool fromCurrent);
    // Whether changes inside blocks are animated (YES at first); with NO they only change the
    // model.
    static void setAnimationsEnabled(bool enabled);
    static bool areAnimationsEnabled();

    // The block form: `animations` runs inside a block of `seconds`; `completion` gets whether
    // the animations ran to their end.
    static void animateWithDuration(double seconds, std::function<void()> animations,
                                    std::function<void(bool)> completion);
    static void animateWithDuration(double seconds, double delay, UIViewAnimationOptions options,
                                    std::function<void()> animations,
                                    std::function<void(bool)> completion);

    // Whether a change made now would be recorded: a block is open and animations are enabled.
    static bool isRecording();
    // Records a change of `keyPath` on `layer` from `modelBefore` (the model value before it) to
    // `value`; nothing unless recording.
    static void recordChange(const std::shared_ptr<CALayer>& layer, const char* keyPath,
                             const CAValue& modelBefore, const CAValue& value);
    // Forgets every open block, for tests that leave one open.
    static void resetForTesting();
};
