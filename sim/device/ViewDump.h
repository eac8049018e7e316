#pragma once

// View trees as JSON, for "dump views": class, role, frame, alpha, hidden, transform,
// interaction and subviews, all model values.

#include "platform/uikit/UIView.h"

#include <nlohmann/json.hpp>

#include <functional>
#include <string>

// Names the role a view plays in the unlock session ("snapshot", "touchView", ...), or "".
using ViewRoleNamer = std::function<std::string(const UIView* view)>;

// The tree of `view`; a view with a role carries "role".
nlohmann::ordered_json viewTreeJson(const UIView& view, const ViewRoleNamer& roleOf = {});
