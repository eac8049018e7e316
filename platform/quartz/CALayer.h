#pragma once

// Layers: the tree that the compositor draws. Each layer holds its model properties, which change
// at once when set, and its animations, which change only what is drawn: the presentation, the
// model with the animations applied at the clock's current time. Animations end through the main
// run loop, which tells their delegates; a layer that goes away with animations still running
// tells their delegates at the loop's next turn that they stopped unfinished.

#include "platform/foundation/Clock.h"
#include "platform/foundation/RunLoop.h"
#include "platform/graphics/Forward.h"
#include "platform/quartz/CAAnimation.h"
#include "platform/quartz/CALayerProperties.h"
#include "platform/quartz/Forward.h"
#include "platform/runtime/NSObject.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

// The media time now: the main run loop's clock in seconds.
double CACurrentMediaTime();

class CALayer : public NSObject {
public:
    CV_DECLARE_CLASS()

    // A new layer with empty bounds at the origin.
    static std::shared_ptr<CALayer> layer();

    explicit CALayer(Class cls = class_());
    ~CALayer() override;

    // Model properties. Setting one changes it at once; running animations go on drawing over it.
    const CALayerProperties& model() const { return model_; }
    CGRect bounds() const { return model_.bounds; }
    void setBounds(CGRect bounds) { model_.bounds = bounds; }
    CGPoint position() const { return model_.position; }
    void setPosition(CGPoint position) { model_.position = position; }
    CGPoint anchorPoint() const { return model_.anchorPoint; }
    void setAnchorPoint(CGPoint point) { model_.anchorPoint = point; }
    CGAffineTransform affineTransform() const { return model_.transform; }
    void setAffineTransform(CGAffineTransform transform) { model_.transform = transform; }
    float opacity() const { return model_.opacity; }
    void setOpacity(float opacity) { model_.opacity = opacity; }
    bool isHidden() const { return model_.hidden; }
    void setHidden(bool hidden) { model_.hidden = hidden; }
    bool masksToBounds() const { return model_.masksToBounds; }
    void setMasksToBounds(bool masks) { model_.masksToBounds = masks; }
    const CGColorRef& backgroundColor() const { return model_.backgroundColor; }
    void setBackgroundColor(CGColorRef color) { model_.backgroundColor = std::move(color); }
    // The radius of the rounded corners of the background and the border (0: square).
    float cornerRadius() const { return model_.cornerRadius; }
    void setCornerRadius(float radius) { model_.cornerRadius = radius; }
    // A line of this width drawn inside the bounds' edge, in this colour (none: no border).
    float borderWidth() const { return model_.borderWidth; }
    void setBorderWidth(float width) { model_.borderWidth = width; }
    const CGColorRef& borderColor() const { return model_.borderColor; }
    void setBorderColor(CGColorRef color) { model_.borderColor = std::move(color); }
    const CGImageRef& contents() const { return model_.contents; }
    void setContents(CGImageRef image) { model_.contents = std::move(image); }
    const std::vector<std::shared_ptr<CAFilter>>& filters() const { return model_.filters; }
    // The filters applied when drawing, in order; an empty list (nil) removes them.
    void setFilters(std::vector<std::shared_ptr<CAFilter>> filters) {
        model_.filters = std::move(filters);
    }
    // The frame in the superlayer's coordinates (see CALayerProperties::frame).
    CGRect frame() const { return model_.frame(); }
    void setFrame(CGRect frame) { model_.setFrame(frame); }
    // Sets a model property by key path (see CALayerProperties::valueForKeyPath); filter inputs
    // are set on the model's filter itself.
    void setValueForKeyPath(const CAValue& value, std::string_view keyPath);

    // The tree. A layer owns its sublayers; the superlayer is a plain back-pointer that the
    // superlayer clears when it lets the layer go.
    CALayer* superlayer() const { return superlayer_; }
    const std::vector<std::shared_ptr<CALayer>>& sublayers() const { return sublayers_; }
    // Appends `layer` in front of the other sublayers, taking it from its old superlayer.
    void addSublayer(const std::shared_ptr<CALayer>& layer);
    // Inserts `layer` at `index` (clamped to the number of sublayers), back to front.
    void insertSublayer(const std::shared_ptr<CALayer>& layer, size_t index);
    void removeFromSuperlayer();
    // The object the layer draws for (the view that owns it), or nil; not owned.
    id delegate() const { return delegate_; }
    void setDelegate(id delegate) { delegate_ = delegate; }

    // Adds a copy of `animation`, starting at its begin time (now when 0). An animation already
    // under `key` is removed at once and its delegate told animationDidStop:finished: NO. An empty
    // key keeps the animation under a key of its own.
    void addAnimation(const std::shared_ptr<CAAnimation>& animation, std::string_view key);
    // The copy running under `key`, or null.
    std::shared_ptr<CAAnimation> animationForKey(std::string_view key) const;
    // The keys of the animations on the layer, in the order they were added.
    std::vector<std::string> animationKeys() const;
    // Removes the animation under `key`; its delegate is told it stopped unfinished.
    void removeAnimationForKey(std::string_view key);
    void removeAllAnimations();

    // The model with the animations applied as they stand at `time` on the main run loop's clock.
    CALayerProperties presentationProperties(ClockTime time) const;
    // The presentation now, as a new layer without sublayers.
    std::shared_ptr<CALayer> presentationLayer() const;
    // Whether any animation is on the layer (running or kept after its end).
    bool hasAnimations() const { return !animations_.empty(); }

    // Draws the layer and its sublayers, as presented now, into `context` in its current user
    // space, with the layer's bounds origin at the origin.
    void renderInContext(const CGContextRef& context) const;

private:
    struct Running {
        std::string key;
        std::shared_ptr<CAAnimation> animation;
        ClockTime start;
        ClockTime end;
        std::uint64_t serial;
        RunLoop::TimerId startTimer = 0;
        RunLoop::TimerId endTimer = 0;
    };

    void adopt(const std::shared_ptr<CALayer>& layer);
    void scheduleEvents(Running& running);
    void animationStarted(std::uint64_t serial);
    void animationEnded(std::uint64_t serial);
    // Takes the animation out before its end and tells its delegate it stopped unfinished, unless
    // it was kept after its end and has told it already.
    void stop(std::vector<Running>::iterator it);

    CALayerProperties model_;
    CALayer* superlayer_ = nullptr;
    std::vector<std::shared_ptr<CALayer>> sublayers_;
    id delegate_ = nullptr;
    std::vector<Running> animations_;
    std::uint64_t nextSerial_ = 1;
};
