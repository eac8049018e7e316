#include "tweak/springboard/LockScreenChrome.h"

#include "platform/uikit/UIView.h"
#include "tweak/session/SpringBoardCalls.h"
#include "tweak/settings/CVSettings.h"

namespace {

CVSettings& settings() { return CVSettings::sharedCVSettings(); }

}  // namespace

bool lockClockShouldShow() {
    if (!settings().hideLockClock()) return true;
    const id away = SpringBoardCalls::sharedAwayController();
    return SpringBoardCalls::isShowingMediaControls(away) || SpringBoardCalls::isSyncing(away);
}

bool clockViewHiddenFlag(id clockView, bool hidden) {
    auto* clock = objc_cast<UIView>(clockView);
    if (!clock) return hidden;
    auto& s = settings();
    if (s.hideLockClock() || s.showStatusBarClock()) {
        const bool show = lockClockShouldShow();
        clock->setUserInteractionEnabled(show);
        hidden = !show;
        if (s.showStatusBarClock()) SpringBoardCalls::setStatusBarLockAndTime(show, !show);
    }
    if (UIView* superview = clock->superview()) {
        superview->bringSubviewToFront(clock);
        if (!s.hideUnlockSlider()) {
            const auto subviews = superview->subviews();  // reordered while walked
            for (const auto& subview : subviews) {
                if (SpringBoardCalls::isUnlockBar(*subview)) {
                    superview->bringSubviewToFront(subview.get());
                }
            }
        }
    }
    return hidden;
}

void showTopBarIfClockHidden() {
    if (!settings().hideLockClock()) return;
    UIView* topBar = SpringBoardCalls::topBar(
        SpringBoardCalls::awayView(SpringBoardCalls::sharedAwayController()));
    if (topBar) topBar->setHidden(false);
}

void statusBarFlags(bool& lockVisible, bool& timeVisible) {
    auto& s = settings();
    if (!s.hideLockClock() || !s.showStatusBarClock()) return;
    const bool show = lockClockShouldShow();
    lockVisible = show;
    timeVisible = !show;
}
