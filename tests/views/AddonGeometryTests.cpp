#include "tweak/views/AddonGeometry.h"

#include "tests/views/ViewsTweakTestSupport.h"

#include <gtest/gtest.h>

namespace {

constexpr CGRect kPhone{{0, 0}, {320, 480}};
constexpr CGRect kPad{{0, 0}, {768, 1024}};

struct BadgeCase {
    std::int32_t pullDirection;
    CGRect screen;
    const char* path;
    CGRect frame;
};

TEST(AddonGeometry, BadgeSitsHalfOffTheEdgeItIsPulledFrom) {
    const BadgeCase cases[] = {
        {0, kPhone, "/Library/Corvane/CRVBadgeRedUp.png", {{120, 430}, {80, 100}}},
        {1, kPhone, "/Library/Corvane/CRVBadgeRedRight.png", {{-50, 200}, {100, 80}}},
        {2, kPhone, "/Library/Corvane/CRVBadgeRedLeft.png", {{270, 200}, {100, 80}}},
        {0, kPad, "/Library/Corvane/CRVBadgeRedUp.png", {{344, 974}, {80, 100}}},
        // Only the screen's size counts, not its origin.
        {2,
         {{10, 20}, {320, 480}},
         "/Library/Corvane/CRVBadgeRedLeft.png",
         {{270, 200}, {100, 80}}},
        // Without a screen the frame comes from zero bounds.
        {0, CGRectZero, "/Library/Corvane/CRVBadgeRedUp.png", {{-40, -50}, {80, 100}}},
    };
    for (const BadgeCase& c : cases) {
        const auto badge = CVBadgePlacementFor(CVPullDirection{c.pullDirection}, "Red", c.screen);
        ASSERT_TRUE(badge) << c.pullDirection;
        EXPECT_EQ(badge->imagePath, c.path);
        EXPECT_EQ(badge->frame, c.frame) << c.path;
    }
}

TEST(AddonGeometry, BadgeFileNamesTheDesignAndUnknownDirectionsHaveNoBadge) {
    for (const char* design : {"Red", "Cloth", "Grey", "Custom", "Vellum"}) {
        EXPECT_EQ(CVBadgePlacementFor(CVPullDirection::Right, design, kPhone)->imagePath,
                  std::string("/Library/Corvane/CRVBadge") + design + "Right.png");
    }
    for (std::int32_t direction : {-1, 3, 4}) {
        EXPECT_FALSE(CVBadgePlacementFor(CVPullDirection{direction}, "Red", kPhone)) << direction;
    }
}

TEST(AddonGeometry, TheVaultKeepsItsPlaceBesideTheScreensMiddleOnEveryScreen) {
    const struct {
        CGSize screen;
        CGRect frame;
    } cases[] = {
        {{320, 480}, {{24, 75}, {272, 310}}},  // 24 points on either side
        {{375, 667}, {{51.5f, 168.5f}, {272, 310}}},
        {{430, 932}, {{79, 301}, {272, 310}}},
        {{768, 1024}, {{248, 347}, {272, 310}}},  // a tablet upright
        {{1024, 768}, {{376, 219}, {272, 310}}},  // and turned
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.screen.width) + " x " + std::to_string(c.screen.height));
        const CGRect frame = CVVaultFrame(c.screen);
        EXPECT_EQ(frame, c.frame);
        // Inside the screen, and below the date (which ends 116 points down) on every screen
        // larger than the first.
        EXPECT_GE(frame.origin.x, 0);
        EXPECT_LE(frame.origin.x + frame.size.width, c.screen.width);
        EXPECT_LE(frame.origin.y + frame.size.height, c.screen.height - 95);  // by the bar
        if (c.screen.height > 480) {
            EXPECT_GE(frame.origin.y, 116);
        }
    }
    EXPECT_EQ(std::string(kCVVaultImagePath), "/Library/Corvane/vault.png");
}

}  // namespace
