#include "platform/uikit/UIApplication.h"

#include "platform/foundation/RunLoop.h"
#include "platform/uikit/UIEvent.h"
#include "platform/uikit/UIWindow.h"

#include <algorithm>
#include <cctype>

CV_REGISTER_CLASS(UIApplication, UIResponder)

namespace {

UIApplication*& current() {
    static UIApplication* application = nullptr;
    return application;
}

// The plain application made when something asks before the host has made its own.
std::unique_ptr<UIApplication>& fallback() {
    static std::unique_ptr<UIApplication> application;
    return application;
}

// Whether `url` begins with a scheme: a letter, then letters, digits, "+", "-" or ".", then ":".
bool hasScheme(const std::string& url) {
    const size_t colon = url.find(':');
    if (colon == std::string::npos || colon == 0 || !std::isalpha((unsigned char)url[0])) {
        return false;
    }
    return std::all_of(url.begin(), url.begin() + std::ptrdiff_t(colon), [](char c) {
        return std::isalnum((unsigned char)c) || c == '+' || c == '-' || c == '.';
    });
}

}  // namespace

UIApplication* UIApplication::sharedApplication() {
    if (!current()) fallback() = std::make_unique<UIApplication>();
    return current();
}

UIApplication::UIApplication(Class cls) : UIResponder(cls) {
    if (UIApplication* previous = current()) {
        windows_ = previous->windows_;
        keyWindow_ = previous->keyWindow_;
        statusBarItems_ = previous->statusBarItems_;
        statusBarOrientation_ = previous->statusBarOrientation_;
    }
    current() = this;
}

UIApplication::~UIApplication() {
    if (current() == this) current() = nullptr;
}

void UIApplication::addStatusBarItem(int item) {
    statusBarItems_.insert(item);
    if (statusBarItemObserver_) statusBarItemObserver_(item, isStatusBarItemVisible(item));
}

void UIApplication::removeStatusBarItem(int item) {
    statusBarItems_.erase(item);
    if (statusBarItemObserver_) statusBarItemObserver_(item, isStatusBarItemVisible(item));
}

bool UIApplication::openURL(const std::string& url) {
    if (!hasScheme(url) || !openURLObserver_) return false;
    return openURLObserver_(url);
}

std::vector<std::shared_ptr<UIWindow>> UIApplication::windows() const {
    std::vector<std::shared_ptr<UIWindow>> sorted = windows_;
    std::stable_sort(sorted.begin(), sorted.end(), [](const auto& a, const auto& b) {
        return a->windowLevel() < b->windowLevel();
    });
    return sorted;
}

void UIApplication::addWindow(const std::shared_ptr<UIWindow>& window) {
    if (window && std::find(windows_.begin(), windows_.end(), window) == windows_.end()) {
        windows_.push_back(window);
    }
}

void UIApplication::removeWindow(const UIWindow* window) {
    if (keyWindow_ == window) keyWindow_ = nullptr;
    std::erase_if(windows_, [window](const auto& w) { return w.get() == window; });
}

std::pair<UIWindow*, UIView*> UIApplication::hitTestScreen(CGPoint screenPoint,
                                                           UIEvent* event) const {
    const auto sorted = windows();
    for (auto it = sorted.rbegin(); it != sorted.rend(); ++it) {
        UIWindow* window = it->get();
        if (window->isHidden()) continue;
        if (UIView* view = window->hitTest(window->convertPointFromScreen(screenPoint), event)) {
            return {window, view};
        }
    }
    return {nullptr, nullptr};
}

void UIApplication::sendTouches(UITouchPhase phase, std::span<const CGPoint> screenPoints,
                                double timestamp) {
    if (timestamp < 0) timestamp = secondsFromClockTime(RunLoop::main().now());
    const auto event = injector_.makeEvent(*this, phase, screenPoints, timestamp);
    if (!event) return;
    sendEvent(event.get());
    injector_.forgetFinishedTouches();
}

void UIApplication::sendEvent(UIEvent* event) {
    if (!event) return;
    // Each window once, in the order its touches went down.
    std::vector<std::shared_ptr<UIWindow>> targets;
    for (const auto& touch : event->allTouches()) {
        UIWindow* window = touch->window();
        if (!window) continue;
        auto handle = window->sharedFromThis();
        auto owned = handle ? std::static_pointer_cast<UIWindow>(handle)
                            : std::shared_ptr<UIWindow>(std::shared_ptr<UIWindow>(), window);
        if (std::find(targets.begin(), targets.end(), owned) == targets.end()) {
            targets.push_back(owned);
        }
    }
    for (const auto& window : targets) window->sendEvent(event);
}
