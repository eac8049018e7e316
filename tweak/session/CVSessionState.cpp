#include "tweak/session/CVSessionState.h"

#include "platform/quartz/CAFilter.h"
#include "platform/uikit/UIPinchGestureRecognizer.h"
#include "platform/uikit/UIRotationGestureRecognizer.h"

CVSessionState& CVSession() {
    static CVSessionState* state = new CVSessionState;  // lives as long as the process
    return *state;
}

void CVSessionResetForTesting() {
    auto& session = CVSession();
    for (UIView* view : {static_cast<UIView*>(session.lastView.get()),
                         session.transparentOverlayView.get(),
                         static_cast<UIView*>(session.badgeView.get()),
                         static_cast<UIView*>(session.vaultView.get())}) {
        if (view) view->removeFromSuperview();
    }
    for (UIGestureRecognizer* recognizer :
         {static_cast<UIGestureRecognizer*>(session.pinchRecognizer.get()),
          static_cast<UIGestureRecognizer*>(session.rotateRecognizer.get()),
          static_cast<UIGestureRecognizer*>(session.rotateVaultRecognizer.get())}) {
        if (recognizer && recognizer->view()) recognizer->view()->removeGestureRecognizer(recognizer);
    }
    session = CVSessionState{};
}
