#include "platform/quartz/CALayerProperties.h"

#include "platform/quartz/CAFilter.h"

#include <type_traits>

namespace {

// Stores `value` into `field` when it holds a T (a double into a float field).
template <typename T, typename Field>
bool assign(Field& field, const CAValue& value) {
    if (const auto* held = std::get_if<T>(&value)) {
        field = static_cast<Field>(*held);
        return true;
    }
    return false;
}

// The filter name and input of "filters.<name>.<input>", or false.
bool splitFilterPath(std::string_view path, std::string_view& name, std::string_view& input) {
    constexpr std::string_view prefix = "filters.";
    if (!path.starts_with(prefix)) return false;
    path.remove_prefix(prefix.size());
    const auto dot = path.find('.');
    if (dot == std::string_view::npos) return false;
    name = path.substr(0, dot);
    input = path.substr(dot + 1);
    return true;
}

}  // namespace

CGAffineTransform CALayerProperties::transformToSuperlayer() const {
    // bounds point -> offset from the anchor -> transformed -> placed at the position.
    const CGFloat ax = bounds.origin.x + anchorPoint.x * bounds.size.width;
    const CGFloat ay = bounds.origin.y + anchorPoint.y * bounds.size.height;
    CGAffineTransform t = CGAffineTransformMakeTranslation(-ax, -ay);
    t = CGAffineTransformConcat(t, transform);
    return CGAffineTransformConcat(t, CGAffineTransformMakeTranslation(position.x, position.y));
}

CGRect CALayerProperties::frame() const {
    if (CGAffineTransformIsIdentity(transform)) {
        return {{position.x - anchorPoint.x * bounds.size.width,
                 position.y - anchorPoint.y * bounds.size.height},
                bounds.size};
    }
    return CGRectApplyAffineTransform(bounds, transformToSuperlayer());
}

void CALayerProperties::setFrame(CGRect f) {
    if (CGAffineTransformIsIdentity(transform)) bounds.size = f.size;
    position = {f.origin.x + anchorPoint.x * f.size.width,
                f.origin.y + anchorPoint.y * f.size.height};
}

CAValue CALayerProperties::valueForKeyPath(std::string_view path) const {
    if (path == "position") return position;
    if (path == "position.x") return double(position.x);
    if (path == "position.y") return double(position.y);
    if (path == "bounds") return bounds;
    if (path == "bounds.origin") return bounds.origin;
    if (path == "bounds.size") return bounds.size;
    if (path == "anchorPoint") return anchorPoint;
    if (path == "transform") return transform;
    if (path == "opacity") return double(opacity);
    if (path == "hidden") return hidden;
    std::string_view name, input;
    if (splitFilterPath(path, name, input)) {
        for (const auto& filter : filters) {
            if (filter && filter->name() == name) return filter->valueForKey(input);
        }
    }
    return {};
}

bool CALayerProperties::setValueForKeyPath(std::string_view path, const CAValue& value) {
    if (path == "position") return assign<CGPoint>(position, value);
    if (path == "position.x") return assign<double>(position.x, value);
    if (path == "position.y") return assign<double>(position.y, value);
    if (path == "bounds") return assign<CGRect>(bounds, value);
    if (path == "bounds.origin") return assign<CGPoint>(bounds.origin, value);
    if (path == "bounds.size") return assign<CGSize>(bounds.size, value);
    if (path == "anchorPoint") return assign<CGPoint>(anchorPoint, value);
    if (path == "transform") return assign<CGAffineTransform>(transform, value);
    if (path == "opacity") return assign<double>(opacity, value);
    if (path == "hidden") return assign<bool>(hidden, value);
    std::string_view name, input;
    if (!splitFilterPath(path, name, input)) return false;
    for (auto& filter : filters) {
        if (filter && filter->name() == name) {
            filter = filter->copy();
            filter->setValue(value, input);
            return true;
        }
    }
    return false;
}
