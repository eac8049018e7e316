#pragma once

// Turns layer trees into the compositor's items: each layer's presentation (or model) placed in
// pixels, with its opacity, the clips of the layers above it, and the subtrees that must be drawn
// apart (a fading group, a curling page).

#include "platform/foundation/Clock.h"
#include "platform/quartz/CALayerProperties.h"
#include "platform/quartz/CARenderItem.h"
#include "platform/quartz/Forward.h"

#include <optional>
#include <vector>

class CARenderTree {
public:
    // Reads presentations at `time`, or models without one.
    explicit CARenderTree(std::optional<ClockTime> time) : time_(time) {}

    // The properties of `layer` as they are drawn.
    CALayerProperties properties(const CALayer& layer) const;
    // Adds the items of `layer`, with properties `p`, drawn through `toPixels` (its bounds
    // coordinates to pixels) at `opacity` within `clips`.
    void add(const CALayer& layer, const CALayerProperties& p, const CGAffineTransform& toPixels,
             float opacity, const std::vector<CAClip>& clips, std::vector<CARenderItem>& out) const;
    // Adds a layer placed by its position and transform in a space that `parent` takes to pixels.
    void addTopLevel(const CALayer& layer, const CGAffineTransform& parent,
                     std::vector<CARenderItem>& out) const;

private:
    static const CAFilter* activeCurl(const CALayerProperties& p);
    static CARenderItem base(CARenderItem::Kind kind, const CALayer& layer,
                             const CALayerProperties& p, const CGAffineTransform& toPixels,
                             float opacity, const std::vector<CAClip>& clips);
    void addContent(const CALayer& layer, const CALayerProperties& p,
                    const CGAffineTransform& toPixels, float opacity,
                    const std::vector<CAClip>& clips, std::vector<CARenderItem>& out) const;

    std::optional<ClockTime> time_;
};
