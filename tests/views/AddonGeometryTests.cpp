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

TEST(AddonGeometry, VaultIsFixedExceptOnExactlyAnIPadWhereItStartsAtTheHostsCentre) {
    const struct {
        const char* model;
        CGSize host;
        CGRect frame;
    } cases[] = {
        {"iPhone", {320, 480}, {{24, 75}, {272, 310}}},  // 24 points on either side
        {"iPod touch", {320, 480}, {{24, 75}, {272, 310}}},
        {"iPad", {768, 1024}, {{384, 512}, {272, 310}}},
        {"iPad", {320, 480}, {{160, 240}, {272, 310}}},
        {"ipad", {768, 1024}, {{24, 75}, {272, 310}}},
        {"iPad ", {768, 1024}, {{24, 75}, {272, 310}}},
        {"", {768, 1024}, {{24, 75}, {272, 310}}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CVVaultFrame(c.model, c.host), c.frame) << '"' << c.model << '"';
    }
    EXPECT_EQ(std::string(kCVVaultImagePath), "/Library/Corvane/vault.png");
}

}  // namespace
