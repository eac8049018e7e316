#pragma once

// The picture of UIColor::pinStripeColor, the backdrop of grouped tables: fine vertical stripes
// of two close blue-greys. The colour carries the tile and the compositor repeats it.

#include "platform/graphics/CGGeometry.h"
#include "platform/uikit/UIImage.h"

// The width of one repeat of the stripes, in points.
inline constexpr CGFloat kUIPinStripePeriod = 7;

// One tile of the pattern at the main screen's scale: kUIPinStripePeriod points wide and as high,
// a wide band of #c5ccd4 and a narrow lighter one of #cbd2d8. Repeated edge to edge from a
// layer's top-left corner it covers any area without seams.
UIImageRef UIPinStripePatternImage();
