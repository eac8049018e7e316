#include "platform/uikit/UIViewAnimation.h"

#include "platform/foundation/RunLoop.h"
#include "platform/quartz/CABasicAnimation.h"
#include "platform/quartz/CALayer.h"

#include <algorithm>
#include <set>
#include <vector>

namespace {

struct Change {
    std::shared_ptr<CALayer> layer;
    std::string keyPath;
    CAValue from, to;
};

struct Block {
    std::string animationID;
    bool hasID = false;
    void* context = nullptr;
    double duration = 0.2;
    double delay = 0;
    UIViewAnimationCurve curve = UIViewAnimationCurveEaseInOut;
    WeakId delegate;
    SEL didStop = nullptr;
    bool fromCurrentState = false;
    std::function<void(bool)> completion;
    std::vector<Change> changes;
};

// What a committed block waits for: its animations' ends. It is the delegate of each of them
// and tells the block's own delegate once the last has stopped.
class UIViewAnimationState : public NSObject {
public:
    CV_DECLARE_CLASS()

    UIViewAnimationState(Block block, size_t pending)
        : NSObject(class_()), block_(std::move(block)), pending_(pending) {}

    static std::set<std::shared_ptr<UIViewAnimationState>>& live() {
        static std::set<std::shared_ptr<UIViewAnimationState>> states;
        return states;
    }

    const Block& block() const { return block_; }

    void animationStopped(bool finished) {
        finished_ = finished_ && finished;
        if (pending_ > 0 && --pending_ == 0) finish();
    }

    void finish() {
        // Keep this state alive through the messages below, which may open new blocks.
        auto self = std::static_pointer_cast<UIViewAnimationState>(shared_from_this());
        live().erase(self);
        if (block_.didStop) {
            if (auto delegate = block_.delegate.lock()) {
                const char* animationID = block_.hasID ? block_.animationID.c_str() : nullptr;
                UIAnimationDidStopMessage::Shape::send(delegate.get(), block_.didStop, animationID,
                                                       finished_, block_.context);
            }
        }
        if (block_.completion) block_.completion(finished_);
    }

private:
    Block block_;
    size_t pending_;
    bool finished_ = true;
};

void stateDidStop(id self, SEL, CAAnimation*, bool finished) {
    static_cast<UIViewAnimationState*>(self)->animationStopped(finished);
}

Class UIViewAnimationState::class_() {
    static const Class cls = objc_defineClass(
        "UIViewAnimationState", NSObject::class_(),
        {CAAnimationDelegateMessage::animationDidStop.implementedBy(&stateDidStop)});
    return cls;
}

std::vector<Block>& openBlocks() {
    static std::vector<Block> blocks;
    return blocks;
}

bool& animationsEnabled() {
    static bool enabled = true;
    return enabled;
}

Block* currentBlock() {
    return openBlocks().empty() ? nullptr : &openBlocks().back();
}

CAMediaTimingFunction timingFor(UIViewAnimationCurve curve) {
    switch (curve) {
        case UIViewAnimationCurveEaseIn:
            return CAMediaTimingFunction::functionWithName(kCAMediaTimingFunctionEaseIn);
        case UIViewAnimationCurveEaseOut:
            return CAMediaTimingFunction::functionWithName(kCAMediaTimingFunctionEaseOut);
        case UIViewAnimationCurveLinear:
            return CAMediaTimingFunction::functionWithName(kCAMediaTimingFunctionLinear);
        default:
            return CAMediaTimingFunction::functionWithName(kCAMediaTimingFunctionEaseInEaseOut);
    }
}

std::shared_ptr<CABasicAnimation> animationFor(const Block& block, const Change& change,
                                               UIViewAnimationState* state) {
    auto animation = CABasicAnimation::animationWithKeyPath(change.keyPath);
    animation->setFromValue(change.from);
    animation->setToValue(change.to);
    animation->setDuration(block.duration);
    animation->setTimingFunction(timingFor(block.curve));
    if (block.delay > 0) {
        animation->setBeginTime(CACurrentMediaTime() + block.delay);
        // Until it starts the view is drawn where it was.
        animation->setFillMode(kCAFillModeBackwards);
    }
    animation->setDelegate(state);
    return animation;
}

void start(Block block) {
    std::vector<Change> changes = std::move(block.changes);
    auto state = std::make_shared<UIViewAnimationState>(std::move(block), changes.size());
    UIViewAnimationState::live().insert(state);
    if (changes.empty()) {
        // Nothing to animate: the block stops at the next turn of the run loop, finished.
        RunLoop::main().perform([state] { state->finish(); });
        return;
    }
    for (const Change& change : changes) {
        // Under the property's own key, so that it replaces a running animation of it.
        change.layer->addAnimation(animationFor(state->block(), change, state.get()),
                                   change.keyPath);
    }
}

// Merges a change into the block: a property changed twice goes from its first old value to its
// last new value.
void record(Block& block, Change change) {
    auto same = std::find_if(block.changes.begin(), block.changes.end(), [&](const Change& c) {
        return c.layer == change.layer && c.keyPath == change.keyPath;
    });
    if (same != block.changes.end()) {
        same->to = std::move(change.to);
    } else {
        block.changes.push_back(std::move(change));
    }
}

}  // namespace

void UIViewAnimation::beginAnimations(const char* animationID, void* context) {
    Block block;
    block.hasID = animationID != nullptr;
    if (animationID) block.animationID = animationID;
    block.context = context;
    openBlocks().push_back(std::move(block));
}

void UIViewAnimation::commitAnimations() {
    if (openBlocks().empty()) return;
    Block block = std::move(openBlocks().back());
    openBlocks().pop_back();
    start(std::move(block));
}

void UIViewAnimation::setAnimationDuration(double seconds) {
    if (Block* block = currentBlock()) block->duration = seconds;
}

void UIViewAnimation::setAnimationDelay(double seconds) {
    if (Block* block = currentBlock()) block->delay = seconds;
}

void UIViewAnimation::setAnimationCurve(UIViewAnimationCurve curve) {
    if (Block* block = currentBlock()) block->curve = curve;
}

void UIViewAnimation::setAnimationDelegate(id delegate) {
    if (Block* block = currentBlock()) block->delegate.reset(delegate);
}

void UIViewAnimation::setAnimationDidStopSelector(SEL selector) {
    if (Block* block = currentBlock()) block->didStop = selector;
}

void UIViewAnimation::setAnimationBeginsFromCurrentState(bool fromCurrent) {
    if (Block* block = currentBlock()) block->fromCurrentState = fromCurrent;
}

void UIViewAnimation::setAnimationsEnabled(bool enabled) {
    animationsEnabled() = enabled;
}

bool UIViewAnimation::areAnimationsEnabled() {
    return animationsEnabled();
}

void UIViewAnimation::animateWithDuration(double seconds, std::function<void()> animations,
                                          std::function<void(bool)> completion) {
    animateWithDuration(seconds, 0, UIViewAnimationOptionNone, std::move(animations),
                        std::move(completion));
}

void UIViewAnimation::animateWithDuration(double seconds, double delay,
                                          UIViewAnimationOptions options,
                                          std::function<void()> animations,
                                          std::function<void(bool)> completion) {
    beginAnimations(nullptr, nullptr);
    Block& block = *currentBlock();
    block.duration = seconds;
    block.delay = delay;
    block.curve = static_cast<UIViewAnimationCurve>((options >> 16) & 3);
    block.fromCurrentState = (options & UIViewAnimationOptionBeginFromCurrentState) != 0;
    block.completion = std::move(completion);
    if (animations) animations();
    commitAnimations();
}

bool UIViewAnimation::isRecording() {
    return currentBlock() && animationsEnabled();
}

void UIViewAnimation::recordChange(const std::shared_ptr<CALayer>& layer, const char* keyPath,
                                   const CAValue& modelBefore, const CAValue& value) {
    if (!isRecording() || !layer) return;
    Block& block = *currentBlock();
    CAValue from = modelBefore;
    if (block.fromCurrentState) {
        from = layer->presentationProperties(RunLoop::main().now()).valueForKeyPath(keyPath);
    }
    record(block, {layer, keyPath, std::move(from), value});
}

void UIViewAnimation::resetForTesting() {
    openBlocks().clear();
    animationsEnabled() = true;
}
