#include "platform/uikit/UIPinStripes.h"

#include "platform/uikit/UIKitArtwork.h"

#include <cmath>

namespace {

constexpr uint32_t kBand = 0xC5CCD4, kStripe = 0xCBD2D8;
// Of each repeat, the lighter stripe takes the last few points.
constexpr CGFloat kStripeWidth = 3;

// Paints the stripes over `rect`, the first repeat starting at its left edge.
void drawStripes(const CGContextRef& ctx, CGRect rect) {
    CGContextSetFillColorWithColor(ctx, UIArtworkColor(kBand));
    CGContextFillRect(ctx, rect);
    CGContextSetFillColorWithColor(ctx, UIArtworkColor(kStripe));
    const CGFloat bandWidth = kUIPinStripePeriod - kStripeWidth;
    for (CGFloat x = rect.origin.x; x < CGRectGetMaxX(rect); x += kUIPinStripePeriod) {
        CGContextFillRect(ctx,
                          CGRectMake(x + bandWidth, rect.origin.y, kStripeWidth, rect.size.height));
    }
}

}  // namespace

UIImageRef UIPinStripePatternImage() {
    const CGSize tile{kUIPinStripePeriod, kUIPinStripePeriod};
    return UIArtworkImage(tile, [&](const CGContextRef& ctx) {
        drawStripes(ctx, {CGPointZero, tile});
    });
}
