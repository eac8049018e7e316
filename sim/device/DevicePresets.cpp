#include "sim/device/DevicePresets.h"

namespace {

struct Preset {
    const char* name;
    const char* model;
    float width, height, scale;  // points, pixels per point
};

constexpr Preset kPresets[] = {
    {"iphone", "iPhone", 320, 480, 1},
    {"iphone-375", "iPhone", 375, 667, 2},
    {"iphone-430", "iPhone", 430, 932, 3},
    {"ipad", "iPad", 768, 1024, 1},
};

}  // namespace

std::optional<DeviceConfig> devicePreset(std::string_view name) {
    for (const auto& preset : kPresets) {
        if (name != preset.name) continue;
        DeviceConfig config;
        config.model = preset.model;
        config.screenWidth = preset.width;
        config.screenHeight = preset.height;
        config.screenScale = preset.scale;
        return config;
    }
    return std::nullopt;
}

std::string devicePresetList() {
    std::string list;
    for (const auto& preset : kPresets) {
        const auto points = std::to_string(int(preset.width)) + "x" + std::to_string(int(preset.height));
        const auto pixels = std::to_string(int(preset.width * preset.scale)) + "x" +
                            std::to_string(int(preset.height * preset.scale));
        list.append("  ").append(preset.name).append(": ").append(preset.model).append(", ");
        list.append(points).append(" points");
        if (preset.scale != 1) list.append(" (").append(pixels).append(" pixels)");
        list.append("\n");
    }
    return list;
}
