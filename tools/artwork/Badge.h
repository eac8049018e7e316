#pragma once

// A finished badge picture: one design, turned for one pull direction, on its shadow.

#include "tools/artwork/BadgeDesigns.h"
#include "tools/artwork/Canvas.h"

#include <memory>

// The picture of `design` for `direction`, at the image size of that direction.
std::unique_ptr<Canvas> drawBadge(const BadgeDesign& design, PullDirection direction);
