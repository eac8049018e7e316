#pragma once

// The drawable properties of a layer, as one value: a layer's model holds one, and its
// presentation is a copy with the running animations applied.

#include "platform/graphics/CGColor.h"
#include "platform/graphics/CGGeometry.h"
#include "platform/graphics/CGImage.h"
#include "platform/quartz/CAValue.h"
#include "platform/quartz/Forward.h"

#include <memory>
#include <string_view>
#include <vector>

struct CALayerProperties {
    CGRect bounds;
    // Where the anchor point lies in the superlayer's coordinates.
    CGPoint position;
    // The point of the bounds, in unit coordinates, that sits at `position` and that the transform
    // turns about.
    CGPoint anchorPoint{0.5f, 0.5f};
    CGAffineTransform transform;
    float opacity = 1;
    bool hidden = false;
    bool masksToBounds = false;
    CGColorRef backgroundColor;
    float cornerRadius = 0;
    float borderWidth = 0;
    CGColorRef borderColor;
    // The image drawn over the background, scaled to fill the bounds.
    CGImageRef contents;
    std::vector<std::shared_ptr<CAFilter>> filters;

    // The frame in the superlayer's coordinates: the bounds, transformed about the anchor point,
    // placed at the position.
    CGRect frame() const;
    // Places the layer so that its frame is `frame`: the position moves, and with no transform the
    // bounds take the frame's size (with a transform the size is left alone).
    void setFrame(CGRect frame);
    // The transform from the layer's bounds coordinates to its superlayer's.
    CGAffineTransform transformToSuperlayer() const;

    // The value at a key path: "position", "position.x", "position.y", "bounds", "bounds.origin",
    // "bounds.size", "anchorPoint", "transform", "opacity", "hidden",
    // "filters.<name>.<input>"; nil for any other path.
    CAValue valueForKeyPath(std::string_view keyPath) const;
    // Sets the value at a key path (see valueForKeyPath); a filter input is set on a copy of the
    // filter, so filters shared with another set of properties stay as they were. Answers whether
    // the path and the kind of value were understood.
    bool setValueForKeyPath(std::string_view keyPath, const CAValue& value);
};
