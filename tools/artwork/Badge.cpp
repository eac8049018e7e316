#include "tools/artwork/Badge.h"

#include "tools/artwork/SoftShadow.h"

namespace {

// Light from above: the shadow falls a little below the tab and spreads softly.
constexpr ShadowStyle kBadgeShadow{.dx = 0, .dy = 2, .radius = 4, .opacity = 0.5};

}  // namespace

std::span<const BadgeDesign> badgeDesigns() {
    static constexpr BadgeDesign designs[] = {
        {"Red", paintRedBadge},       {"Cloth", paintClothBadge},   {"Grey", paintGreyBadge},
        {"Custom", paintCustomBadge}, {"Vellum", paintVellumBadge},
    };
    return designs;
}

std::unique_ptr<Canvas> drawBadge(const BadgeDesign& design, PullDirection direction) {
    const BadgeFrame frame = badgeFrame(direction);
    Canvas tab(frame.width, frame.height);
    useBadgeSpace(tab.cr(), frame);
    design.paint(tab.cr(), frame);
    auto picture = std::make_unique<Canvas>(frame.width, frame.height);
    paintSoftShadow(picture->cr(), tab.surface(), kBadgeShadow);
    cairo_set_source_surface(picture->cr(), tab.surface(), 0, 0);
    cairo_paint(picture->cr());
    return picture;
}
