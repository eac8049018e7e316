#include "tweak/views/CVPassThroughRule.h"

#include "platform/uikit/UIView.h"

namespace {

enum class Test { KindOf, MemberOf };

struct Row {
    const char* className;
    Test test;
};

// In order; the first row that matches decides. A bare UIView is a container of the lock screen,
// while its subclasses (controls among them) are not, hence the exact test.
constexpr Row kCapturedViews[] = {
    {"SBWallpaperView", Test::KindOf},
    {"UIView", Test::MemberOf},
    {"SBAwayBulletinTableView", Test::KindOf},
    {"SBAwayDateView", Test::KindOf},
    {"SBBatteryChargingView", Test::KindOf},
    {"UIWebBrowserView", Test::KindOf},
    {"SBAwayView", Test::KindOf},
    {"SBBatteryReflectionView", Test::KindOf},
    {"SBAwayChargingView", Test::KindOf},
};

bool matches(const UIView& view, const Row& row, CVClassLookup lookUp) {
    const Class cls = lookUp(row.className);
    if (!cls) return false;
    return row.test == Test::KindOf ? view.isKindOfClass(cls) : view.isMemberOfClass(cls);
}

}  // namespace

bool CVTouchViewCapturesHitView(const UIView* hitView, CVClassLookup lookUp) {
    if (!hitView) return false;
    for (const Row& row : kCapturedViews) {
        if (matches(*hitView, row, lookUp)) return true;
    }
    return false;
}
