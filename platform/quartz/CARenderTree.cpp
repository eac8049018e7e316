#include "platform/quartz/CARenderTree.h"

#include "platform/quartz/CAFilter.h"
#include "platform/quartz/CALayer.h"
#include "platform/quartz/CARoundedRect.h"

#include <cmath>
#include <iterator>

using Item = CARenderItem;

CALayerProperties CARenderTree::properties(const CALayer& layer) const {
    return time_ ? layer.presentationProperties(*time_) : layer.model();
}

void CARenderTree::add(const CALayer& layer, const CALayerProperties& p,
                       const CGAffineTransform& toPixels, float opacity,
                       const std::vector<CAClip>& clips, std::vector<Item>& out) const {
    if (p.hidden || p.opacity * opacity <= 0.f || !isInvertible(toPixels)) return;
    if (const CAFilter* curl = activeCurl(p)) {
        Item item = base(Item::Kind::Curl, layer, p, toPixels, opacity * p.opacity, clips);
        item.curlTime = CAValueDoubleValue(curl->valueForKey("inputTime"));
        item.curlAngle = CAValueDoubleValue(curl->valueForKey("inputAngle"));
        // The page is drawn apart in its own pixels, at the scale of `toPixels`.
        const auto s = float(std::sqrt(
            std::fabs(double(toPixels.a) * toPixels.d - double(toPixels.b) * toPixels.c)));
        const CGAffineTransform page = {s, 0, 0, s, -p.bounds.origin.x * s, -p.bounds.origin.y * s};
        addContent(layer, p, page, 1, {}, item.children);
        out.push_back(std::move(item));
        return;
    }
    std::vector<Item> content;
    addContent(layer, p, toPixels, 1, clips, content);
    const float own = opacity * p.opacity;
    if (own >= 1 || content.size() <= 1) {
        for (Item& item : content) item.opacity *= own;
        std::move(content.begin(), content.end(), std::back_inserter(out));
        return;
    }
    // Several things fading together fade as one picture: where they overlap, the one behind
    // does not show through the one in front.
    Item group = base(Item::Kind::Group, layer, p, toPixels, own, {});
    group.children = std::move(content);
    out.push_back(std::move(group));
}

void CARenderTree::addTopLevel(const CALayer& layer, const CGAffineTransform& parent,
                               std::vector<Item>& out) const {
    const CALayerProperties p = properties(layer);
    add(layer, p, CGAffineTransformConcat(p.transformToSuperlayer(), parent), 1, {}, out);
}

const CAFilter* CARenderTree::activeCurl(const CALayerProperties& p) {
    for (const auto& filter : p.filters) {
        if (filter && filter->enabled() && filter->type() == kCAFilterPageCurl &&
            CAValueDoubleValue(filter->valueForKey("inputTime")) > 0) {
            return filter.get();
        }
    }
    return nullptr;
}

Item CARenderTree::base(Item::Kind kind, const CALayer& layer, const CALayerProperties& p,
                        const CGAffineTransform& toPixels, float opacity,
                        const std::vector<CAClip>& clips) {
    Item item;
    item.kind = kind;
    item.layer = &layer;
    item.transform = toPixels;
    item.rect = p.bounds;
    item.opacity = opacity;
    item.clips = clips;
    return item;
}

void CARenderTree::addContent(const CALayer& layer, const CALayerProperties& p,
                              const CGAffineTransform& toPixels, float opacity,
                              const std::vector<CAClip>& clips, std::vector<Item>& out) const {
    const float radius = CAClampedCornerRadius(p.bounds, p.cornerRadius);
    if (p.backgroundColor && CGColorGetAlpha(p.backgroundColor) > 0) {
        // A pattern colour without a picture is drawn as a plain fill.
        const auto kind = p.backgroundColor->pattern() ? Item::Kind::Pattern : Item::Kind::Fill;
        Item fill = base(kind, layer, p, toPixels, opacity, clips);
        fill.color = p.backgroundColor;
        fill.cornerRadius = radius;
        out.push_back(std::move(fill));
    }
    // The corners round the background always, but the contents and sublayers only when the layer
    // masks to its bounds.
    std::vector<CAClip> inner = clips;
    if (p.masksToBounds) inner.push_back({toPixels, p.bounds, radius});
    if (p.contents && CGImageGetWidth(p.contents) > 0 && CGImageGetHeight(p.contents) > 0) {
        const bool rounded = p.masksToBounds && radius > 0;
        Item image = base(Item::Kind::Image, layer, p, toPixels, opacity, rounded ? inner : clips);
        image.image = p.contents;
        out.push_back(std::move(image));
    }
    for (const auto& sublayer : layer.sublayers()) {
        const CALayerProperties sp = properties(*sublayer);
        add(*sublayer, sp, CGAffineTransformConcat(sp.transformToSuperlayer(), toPixels), opacity,
            inner, out);
    }
    // The border lies over the contents and the sublayers.
    if (p.borderWidth > 0 && p.borderColor && CGColorGetAlpha(p.borderColor) > 0) {
        Item border = base(Item::Kind::Border, layer, p, toPixels, opacity, clips);
        border.color = p.borderColor;
        border.cornerRadius = radius;
        border.borderWidth = p.borderWidth;
        out.push_back(std::move(border));
    }
}
