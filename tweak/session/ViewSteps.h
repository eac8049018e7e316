#pragma once

// Small steps on the session's views that the controller and every unlock mode take, each
// null-safe as a message to nil is: a missing view or touch does nothing, a missing location is
// (0, 0).

#include "platform/uikit/UIGestureRecognizer.h"
#include "platform/uikit/UITouch.h"
#include "platform/uikit/UITouchSet.h"
#include "platform/uikit/UIView.h"
#include "platform/uikit/UIWindow.h"

#include <memory>

namespace CVViewSteps {

// The touch the gestures follow: any one of `touches`; nil for none.
inline const UITouch* anyTouch(const UITouchSet* touches) {
    return touches ? touches->anyObject() : nullptr;
}

// Where `touches` is in `view`: the location of any one touch; (0, 0) for none.
inline CGPoint locationOf(const UITouchSet* touches, const UIView* view) {
    const UITouch* touch = anyTouch(touches);
    return touch ? touch->locationInView(view) : CGPointZero;
}

// Moves `view` so that its frame starts at `origin`, its size kept.
inline void setOrigin(UIView* view, CGPoint origin) {
    if (!view) return;
    CGRect frame = view->frame();
    frame.origin = origin;
    view->setFrame(frame);
}

inline void hide(UIView* view) {
    if (view) view->setHidden(true);
}

inline UIWindow* windowOf(const UIView* view) { return view ? view->window() : nullptr; }

// Takes a view out of its window and lets it go. The design only ever released most of the
// session's views, leaving them in the lock-screen window when a display ran again.
template <typename View>
void discard(std::shared_ptr<View>& view) {
    if (view) view->removeFromSuperview();
    view.reset();
}

// Lets a recogniser go, detached from its view.
template <typename Recognizer>
void discardRecognizer(std::shared_ptr<Recognizer>& recognizer) {
    if (recognizer && recognizer->view()) recognizer->view()->removeGestureRecognizer(recognizer.get());
    recognizer.reset();
}

}  // namespace CVViewSteps
