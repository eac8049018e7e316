#include "tweak/session/CVSessionState.h"


CVSessionState& CVSession() {
    static CVSessionState* state = new CVSessionState;  // lives as long as the process
    return *state;
}

void CVSessionResetForTesting() {
    auto& session = CVSession();
    if (session.lastView) session.lastView->removeFromSuperview();
    session = CVSessionState{};
}
