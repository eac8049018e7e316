#include "platform/quartz/CALayer.h"

#include "platform/quartz/CAFilter.h"

#include <algorithm>

CV_REGISTER_CLASS(CALayer, NSObject)

namespace {

// Whether an animation ran to its end or was taken off its layer before.
enum class HowStopped { Finished, Unfinished };

// Tells the animation's delegate, if it is still there and answers it, that the animation stopped.
void tellStopped(const std::shared_ptr<CAAnimation>& animation, HowStopped how) {
    const auto delegate = animation->delegateReference().lock();
    const auto& didStop = CAAnimationDelegateMessage::animationDidStop;
    if (didStop.isAnsweredBy(delegate.get())) {
        didStop.send(delegate.get(), animation.get(), how == HowStopped::Finished);
    }
}

}  // namespace

double CACurrentMediaTime() {
    return secondsFromClockTime(RunLoop::main().now());
}

std::shared_ptr<CALayer> CALayer::layer() {
    return std::make_shared<CALayer>();
}

CALayer::CALayer(Class cls) : NSObject(cls) {}

CALayer::~CALayer() {
    for (const Running& running : animations_) {
        // The run loop must not call back into a layer that is gone; the delegates of animations
        // still running hear at its next turn that they stopped unfinished.
        RunLoop::main().cancel(running.startTimer);
        if (!RunLoop::main().isScheduled(running.endTimer)) continue;
        RunLoop::main().cancel(running.endTimer);
        RunLoop::main().perform(
            [animation = running.animation] { tellStopped(animation, HowStopped::Unfinished); });
    }
    for (const auto& layer : sublayers_) layer->superlayer_ = nullptr;
}

void CALayer::setValueForKeyPath(const CAValue& value, std::string_view keyPath) {
    constexpr std::string_view prefix = "filters.";
    if (keyPath.starts_with(prefix)) {
        const std::string_view rest = keyPath.substr(prefix.size());
        const auto dot = rest.find('.');
        if (dot == std::string_view::npos) return;
        for (const auto& filter : model_.filters) {
            if (filter && filter->name() == rest.substr(0, dot)) {
                filter->setValue(value, rest.substr(dot + 1));
            }
        }
        return;
    }
    model_.setValueForKeyPath(keyPath, value);
}

void CALayer::adopt(const std::shared_ptr<CALayer>& layer) {
    // Keep the layer alive while it moves from its old superlayer to this one.
    const std::shared_ptr<CALayer> keep = layer;
    layer->removeFromSuperlayer();
    layer->superlayer_ = this;
}

void CALayer::addSublayer(const std::shared_ptr<CALayer>& layer) {
    insertSublayer(layer, sublayers_.size());
}

void CALayer::insertSublayer(const std::shared_ptr<CALayer>& layer, size_t index) {
    if (!layer || layer.get() == this) return;
    const std::shared_ptr<CALayer> keep = layer;
    adopt(keep);
    index = std::min(index, sublayers_.size());
    sublayers_.insert(sublayers_.begin() + static_cast<std::ptrdiff_t>(index), keep);
}

void CALayer::removeFromSuperlayer() {
    CALayer* parent = superlayer_;
    if (!parent) return;
    superlayer_ = nullptr;
    auto& siblings = parent->sublayers_;
    auto it = std::find_if(siblings.begin(), siblings.end(),
                           [this](const auto& layer) { return layer.get() == this; });
    // Erasing may release the last owner of this layer: nothing may touch `this` afterwards.
    if (it != siblings.end()) siblings.erase(it);
}

void CALayer::addAnimation(const std::shared_ptr<CAAnimation>& animation, std::string_view key) {
    if (!animation) return;
    Running running;
    running.serial = nextSerial_++;
    if (key.empty()) {
        // A key of its own that no caller's key can be: "#" and the serial number.
        running.key.assign(1, '#');
        running.key.append(std::to_string(running.serial));
    } else {
        running.key = key;
    }
    running.animation = animation->copy();
    const double begin = running.animation->beginTime();
    running.start = begin > 0 ? clockTimeFromSeconds(begin) : RunLoop::main().now();
    running.end = running.start + clockTimeFromSeconds(running.animation->effectiveDuration());

    // The old animation leaves before the new one arrives, so that a delegate adding yet another
    // animation from its did-stop message finds the layer in order.
    auto old = std::find_if(animations_.begin(), animations_.end(),
                            [&](const Running& r) { return r.key == running.key; });
    std::shared_ptr<CAAnimation> replaced;
    if (old != animations_.end()) {
        replaced = old->animation;
        RunLoop::main().cancel(old->startTimer);
        RunLoop::main().cancel(old->endTimer);
        animations_.erase(old);
    }
    animations_.push_back(std::move(running));
    scheduleEvents(animations_.back());
    if (replaced) tellStopped(replaced, HowStopped::Unfinished);
}

void CALayer::scheduleEvents(Running& running) {
    const std::uint64_t serial = running.serial;
    const id delegate = running.animation->delegate();
    if (CAAnimationDelegateMessage::animationDidStart.isAnsweredBy(delegate)) {
        running.startTimer =
            RunLoop::main().schedule(running.start, [this, serial] { animationStarted(serial); });
    }
    running.endTimer =
        RunLoop::main().schedule(running.end, [this, serial] { animationEnded(serial); });
}

void CALayer::animationStarted(std::uint64_t serial) {
    auto it = std::find_if(animations_.begin(), animations_.end(),
                           [&](const Running& r) { return r.serial == serial; });
    if (it == animations_.end()) return;
    it->startTimer = 0;
    const std::shared_ptr<CAAnimation> animation = it->animation;
    if (auto delegate = animation->delegateReference().lock()) {
        CAAnimationDelegateMessage::animationDidStart.send(delegate.get(), animation.get());
    }
}

void CALayer::animationEnded(std::uint64_t serial) {
    auto it = std::find_if(animations_.begin(), animations_.end(),
                           [&](const Running& r) { return r.serial == serial; });
    if (it == animations_.end()) return;
    it->endTimer = 0;
    const std::shared_ptr<CAAnimation> animation = it->animation;
    if (animation->isRemovedOnCompletion()) animations_.erase(it);
    tellStopped(animation, HowStopped::Finished);
}

void CALayer::stop(std::vector<Running>::iterator it) {
    const std::shared_ptr<CAAnimation> animation = it->animation;
    // An animation kept after its end has already told its delegate.
    const bool told = it->endTimer == 0;
    RunLoop::main().cancel(it->startTimer);
    RunLoop::main().cancel(it->endTimer);
    animations_.erase(it);
    if (!told) tellStopped(animation, HowStopped::Unfinished);
}

std::shared_ptr<CAAnimation> CALayer::animationForKey(std::string_view key) const {
    for (const Running& running : animations_) {
        if (running.key == key) return running.animation;
    }
    return nullptr;
}

std::vector<std::string> CALayer::animationKeys() const {
    std::vector<std::string> keys;
    for (const Running& running : animations_) keys.push_back(running.key);
    return keys;
}

void CALayer::removeAnimationForKey(std::string_view key) {
    auto it = std::find_if(animations_.begin(), animations_.end(),
                           [&](const Running& r) { return r.key == key; });
    if (it != animations_.end()) stop(it);
}

void CALayer::removeAllAnimations() {
    while (!animations_.empty()) stop(animations_.begin());
}

CALayerProperties CALayer::presentationProperties(ClockTime time) const {
    CALayerProperties properties = model_;
    for (const Running& running : animations_) {
        // At or past the end the animation stands at its end exactly, whatever the rounding of
        // its duration to the clock's microseconds.
        const double length = running.animation->effectiveDuration();
        const double elapsed = time >= running.end
                                   ? std::max(length, secondsFromClockTime(time - running.start))
                                   : secondsFromClockTime(time - running.start);
        running.animation->applyAt(elapsed, properties);
    }
    return properties;
}

std::shared_ptr<CALayer> CALayer::presentationLayer() const {
    auto layer = std::make_shared<CALayer>(isa());
    layer->model_ = presentationProperties(RunLoop::main().now());
    return layer;
}
