#include "platform/uikit/UIWindow.h"

#include "platform/uikit/UIApplication.h"
#include "platform/uikit/UIEvent.h"
#include "platform/uikit/UIGestureRecognizer.h"

#include <array>

CV_REGISTER_CLASS(UIWindow, UIView)

UIWindow::UIWindow(Class cls) : UIView(cls) {}

void UIWindow::makeKeyAndVisible() {
    setHidden(false);
    if (auto self = sharedFromThis()) {
        UIApplication::sharedApplication()->addWindow(std::static_pointer_cast<UIWindow>(self));
    }
    makeKeyWindow();
}

void UIWindow::makeKeyWindow() {
    UIApplication::sharedApplication()->setKeyWindow(this);
}

bool UIWindow::isKeyWindow() const {
    return UIApplication::sharedApplication()->keyWindow() == this;
}

namespace {

// The touches of `touches` in `phase`.
UITouchSet inPhase(const UITouchSet& touches, UITouchPhase phase) {
    UITouchSet result;
    for (const auto& touch : touches) {
        if (touch->phase() == phase) result.addObject(touch);
    }
    return result;
}

constexpr std::array<UITouchPhase, 4> kPhases = {UITouchPhaseBegan, UITouchPhaseMoved,
                                                 UITouchPhaseEnded, UITouchPhaseCancelled};

}  // namespace

void UIWindow::sendEvent(UIEvent* event) {
    if (!event) return;
    // Keep the window alive while its views and recognisers run.
    const auto keep = weak_from_this().lock();
    const UITouchSet mine = event->touchesForWindow(this);
    offerToRecognizers(mine, event);
    deliverToViews(mine, event);
}

void UIWindow::offerToRecognizers(const UITouchSet& touches, UIEvent* event) {
    // Each recogniser once, in the order the touches first name them.
    std::vector<std::shared_ptr<UIGestureRecognizer>> recognizers;
    for (const auto& touch : touches) {
        for (const auto& weak : touch->gestureRecognizers()) {
            auto recognizer = weak.lock();
            if (recognizer && std::find(recognizers.begin(), recognizers.end(), recognizer) ==
                                  recognizers.end()) {
                recognizers.push_back(recognizer);
            }
        }
    }
    for (const auto& recognizer : recognizers) {
        for (UITouchPhase phase : kPhases) {
            UITouchSet offered;
            for (const auto& touch : inPhase(touches, phase)) {
                for (const auto& weak : touch->gestureRecognizers()) {
                    if (weak.get() == recognizer.get()) offered.addObject(touch);
                }
            }
            if (offered.count() == 0) continue;
            switch (phase) {
                case UITouchPhaseBegan:
                    recognizer->touchesBegan(offered, event);
                    break;
                case UITouchPhaseMoved:
                    recognizer->touchesMoved(offered, event);
                    break;
                case UITouchPhaseEnded:
                    recognizer->touchesEnded(offered, event);
                    break;
                default:
                    recognizer->touchesCancelled(offered, event);
                    break;
            }
        }
    }
}

void UIWindow::deliverToViews(const UITouchSet& touches, UIEvent* event) {
    for (UITouchPhase phase : kPhases) {
        // Group by view, keeping the order in which the views first appear.
        std::vector<std::pair<std::shared_ptr<UIView>, UITouchSet>> byView;
        for (const auto& touch : inPhase(touches, phase)) {
            if (!touch->deliversToView()) continue;
            UIView* view = touch->view();
            if (!view) continue;
            auto it = std::find_if(byView.begin(), byView.end(),
                                   [view](const auto& entry) { return entry.first.get() == view; });
            if (it == byView.end()) {
                auto handle = view->sharedFromThis();
                if (!handle) handle = std::shared_ptr<UIView>(std::shared_ptr<UIView>(), view);
                byView.push_back({handle, {}});
                it = std::prev(byView.end());
            }
            it->second.addObject(touch);
        }
        for (auto& [view, set] : byView) {
            switch (phase) {
                case UITouchPhaseBegan:
                    view->touchesBegan(&set, event);
                    break;
                case UITouchPhaseMoved:
                    view->touchesMoved(&set, event);
                    break;
                case UITouchPhaseEnded:
                    view->touchesEnded(&set, event);
                    break;
                default:
                    view->touchesCancelled(&set, event);
                    break;
            }
        }
    }
}
