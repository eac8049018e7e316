#include "common/tooling/ColourJson.h"

#include "colour/UIColor_Expanded.h"
#include "tweak/settings/JsonNumbers.h"


nlohmann::ordered_json colourJson(const UIColorRef& colour) {
    if (!colour) return nullptr;
    nlohmann::ordered_json json;
    const auto model = UIColor_Expanded::colorSpaceModel(colour);
    const auto components = CGColorGetComponents(colour->CGColor());
    const std::size_t count = CGColorGetNumberOfComponents(colour->CGColor());
    auto list = nlohmann::ordered_json::array();
    for (std::size_t i = 0; i < count; ++i) list.push_back(jsonFloat(components[i]));
    if (model == kCGColorSpaceModelRGB) {
        json["model"] = "rgb";
    } else if (model == kCGColorSpaceModelMonochrome) {
        json["model"] = "monochrome";
    } else {
        json["model"] = model;
    }
    json["components"] = list;
    if (UIColor_Expanded::canProvideRGBComponents(colour)) {
        json["string"] = *UIColor_Expanded::stringFromColor(colour);
    }
    return json;
}
