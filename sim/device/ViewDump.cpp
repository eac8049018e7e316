#include "sim/device/ViewDump.h"

#include "tweak/settings/JsonNumbers.h"

nlohmann::ordered_json viewTreeJson(const UIView& view, const ViewRoleNamer& roleOf) {
    nlohmann::ordered_json json;
    json["class"] = class_getName(view.isa());
    if (roleOf) {
        const std::string role = roleOf(&view);
        if (!role.empty()) json["role"] = role;
    }
    const CGRect f = view.frame();
    json["frame"] = {jsonFloat(f.origin.x), jsonFloat(f.origin.y), jsonFloat(f.size.width),
                     jsonFloat(f.size.height)};
    json["alpha"] = jsonFloat(view.alpha());
    json["hidden"] = view.isHidden();
    const CGAffineTransform t = view.transform();
    json["transform"] = {jsonFloat(t.a), jsonFloat(t.b), jsonFloat(t.c),
                         jsonFloat(t.d), jsonFloat(t.tx), jsonFloat(t.ty)};
    json["interaction"] = view.isUserInteractionEnabled();
    auto subviews = nlohmann::ordered_json::array();
    for (const auto& subview : view.subviews()) subviews.push_back(viewTreeJson(*subview, roleOf));
    json["subviews"] = subviews;
    return json;
}
