#include "platform/foundation/NotificationCenter.h"

#include "platform/foundation/DeviceRoot.h"
#include "platform/foundation/NotifyTransport.h"
#include "platform/foundation/RunLoop.h"

#include <memory>
#include <mutex>
#include <string>
#include <vector>

class CFNotificationCenter {
public:
    struct Registration {
        const void* observer;
        CFNotificationCallback callback;
        std::string name;
        CFNotificationSuspensionBehavior suspensionBehavior;
    };

    void add(Registration registration) {
        registrations_.push_back(std::move(registration));
        listen();
    }

    // Which of an observer's registrations a removal takes.
    enum class Names { Named, Every };

    void remove(const void* observer, std::string_view name, Names names) {
        std::erase_if(registrations_, [&](const Registration& r) {
            return r.observer == observer && (names == Names::Every || r.name == name);
        });
    }

    void post(std::string_view name) {
        if (postTap_) postTap_(name);
        scheduleDelivery(std::string(name));
        transport().post(name);
    }

    void setTap(std::function<void(std::string_view)> tap) { tap_ = std::move(tap); }
    void setPostTap(std::function<void(std::string_view)> tap) { postTap_ = std::move(tap); }

    // Watches the transport of the device root on the main run loop.
    void listen() {
        if (!transport().isListening()) startListening();
    }

private:
    // The transport of the process's current device root; when the root has changed, the
    // process moves to the new root's transport, still listening if it was.
    NotifyTransport& transport() {
        const auto folder = DeviceRoot::resolve("/var/run/notify");
        if (transport_ && transport_->folder() == folder) return *transport_;
        const bool wasListening = transport_ && transport_->isListening();
        if (wasListening) RunLoop::main().removeSource(transport_->fd());
        transport_ = std::make_unique<NotifyTransport>(folder);
        if (wasListening) startListening();
        return *transport_;
    }

    void startListening() {
        const int fd = transport_->listen();
        if (fd >= 0) RunLoop::main().addSource(fd, [this] { readTransport(); });
    }

    void readTransport() {
        if (!transport_) return;
        for (auto& name : transport_->receive()) scheduleDelivery(std::move(name));
    }

    void scheduleDelivery(std::string name) {
        RunLoop::main().perform([this, name = std::move(name)] { deliver(name); });
    }

    void deliver(const std::string& name) {
        if (tap_) tap_(name);
        // A copy: a callback may add or remove observers.
        const auto registrations = registrations_;
        for (const auto& r : registrations) {
            if (r.name == name) r.callback(this, const_cast<void*>(r.observer), name, nullptr, nullptr);
        }
    }

    std::vector<Registration> registrations_;
    std::unique_ptr<NotifyTransport> transport_;
    std::function<void(std::string_view)> tap_;
    std::function<void(std::string_view)> postTap_;
};

CFNotificationCenterRef CFNotificationCenterGetDarwinNotifyCenter() {
    static std::once_flag once;
    static CFNotificationCenter* center = nullptr;
    std::call_once(once, [] { center = new CFNotificationCenter; });  // lives as long as the process
    return center;
}

void CFNotificationCenterAddObserver(CFNotificationCenterRef center, const void* observer,
                                     CFNotificationCallback callback, CFNotificationName name,
                                     const void* object,
                                     CFNotificationSuspensionBehavior suspensionBehavior) {
    if (!center || !callback || name.empty()) return;
    center->add({observer, callback, std::string(name), suspensionBehavior});
}

void CFNotificationCenterRemoveObserver(CFNotificationCenterRef center, const void* observer,
                                        CFNotificationName name, const void* object) {
    // No name stands for every name.
    using Names = CFNotificationCenter::Names;
    if (center) center->remove(observer, name, name.empty() ? Names::Every : Names::Named);
}

void CFNotificationCenterRemoveEveryObserver(CFNotificationCenterRef center, const void* observer) {
    if (center) center->remove(observer, {}, CFNotificationCenter::Names::Every);
}

void CFNotificationCenterPostNotification(CFNotificationCenterRef center, CFNotificationName name,
                                          const void* object, CFDictionaryRef userInfo,
                                          bool deliverImmediately) {
    if (center && !name.empty()) center->post(name);
}

void CFNotificationCenterSetDeliveryTap(CFNotificationCenterRef center,
                                        std::function<void(std::string_view name)> tap) {
    if (center) center->setTap(std::move(tap));
}

void CFNotificationCenterSetPostTap(CFNotificationCenterRef center,
                                    std::function<void(std::string_view name)> tap) {
    if (center) center->setPostTap(std::move(tap));
}

void CFNotificationCenterListen(CFNotificationCenterRef center) {
    if (center) center->listen();
}
