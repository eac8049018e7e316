#pragma once

// The devices a window can show, by name: the small phone the scripts default to, two later
// phones and a tablet.

#include "sim/device/DeviceConfig.h"

#include <optional>
#include <string>
#include <string_view>

// The device named `name` ("iphone", "iphone-375", "iphone-430" or "ipad"); nothing for another
// name.
std::optional<DeviceConfig> devicePreset(std::string_view name);

// The names devicePreset knows, each with its screen, one line each, for help texts.
std::string devicePresetList();
