#pragma once

// What the touch capture view reports to: the session controller, which it holds weakly so that
// the views know nothing of the session beyond this.

class UITouchSet;
class UIView;

class CVTouchViewDelegate {
public:
    virtual ~CVTouchViewDelegate() = default;

    // SpringBoard's lock-screen view, whose hit test decides which touches the view keeps; nil
    // when SpringBoard has none.
    virtual UIView* lockScreenView() = 0;
    // Whether the view keeps only the touches on the lock screen's passive background (true), or
    // every touch that lands on it (the pull badge's own touch view).
    virtual bool capturesOnlyPassiveBackground() = 0;
    // The touches the view keeps, phase by phase.
    virtual void lockscreenTouchesBegan(const UITouchSet* touches) = 0;
    virtual void lockscreenTouchesMoved(const UITouchSet* touches) = 0;
    virtual void lockscreenTouchesEnded(const UITouchSet* touches) = 0;
};
