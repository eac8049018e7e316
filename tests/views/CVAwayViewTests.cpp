#include "tweak/views/CVAwayView.h"

#include "platform/foundation/NSLog.h"
#include "platform/uikit/UIDevice.h"
#include "platform/uikit/UIScreen.h"
#include "tests/graphics/GraphicsTestSupport.h"
#include "tests/support/TemporaryRoot.h"
#include "tests/views/ViewsTweakTestSupport.h"
#include "tweak/settings/CVSettings.h"
#include "tweak/views/ColorizeImage.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using graphics_test::kBlue;
using graphics_test::kRed;
using graphics_test::kWhite;
using views_test::writeSolidPNG;

constexpr CGImagePixel kGreen{0, 255, 0, 255};
constexpr CGImagePixel kGrey{128, 128, 128, 255};

// Each test gets a device root with badge and vault artwork, a 320 × 480 iPhone, settings with
// the tweak enabled and no add-on, and the log lines written meanwhile.
class AwayViewAddons : public ::testing::Test {
protected:
    void SetUp() override {
        sink = addLogSink([this](std::string_view line) { logLines.emplace_back(line); });
        setLogToStandardError(false);
        settings.setEnabled(true);
        settings.setUnlockType(CVUnlockType::Drag);
        settings.setPullDirection(CVPullDirection::Left);
        settings.setBadgeDesign("Red");
        settings.setBadgeColor(nullptr);
        settings.setOverlayTransparency(0.3);
        UIScreen::mainScreen()->setBounds({{0, 0}, {320, 480}});
        UIDevice::currentDevice()->setModel("iPhone");
        // One colour per file, so a pixel tells which file a view shows.
        ASSERT_TRUE(writeSolidPNG("/Library/Corvane/CRVBadgeRedUp.png", 8, 10, kRed));
        ASSERT_TRUE(writeSolidPNG("/Library/Corvane/CRVBadgeRedRight.png", 10, 8, kBlue));
        ASSERT_TRUE(writeSolidPNG("/Library/Corvane/CRVBadgeRedLeft.png", 10, 8, kGreen));
        ASSERT_TRUE(writeSolidPNG("/Library/Corvane/CRVBadgeCustomLeft.png", 10, 8, kWhite));
        ASSERT_TRUE(writeSolidPNG("/Library/Corvane/vault.png", 27, 31, kGrey));
    }
    void TearDown() override {
        removeLogSink(sink);
        setLogToStandardError(true);
        UIDevice::currentDevice()->setModel("iPhone");
        UIScreen::mainScreen()->setBounds({{0, 0}, {320, 480}});
    }

    std::shared_ptr<CVAwayView> viewOfType(std::int32_t unlockType, CGSize size = {320, 480}) {
        settings.setUnlockType(CVUnlockType{unlockType});
        return CVAwayView::createWithSnapshot(imageWithColorAndSize(UIColor::whiteColor(), size));
    }

    TemporaryRoot root;
    CVSettings& settings = CVSettings::sharedCVSettings();
    int sink = 0;
    std::vector<std::string> logLines;
};

CGImagePixel pixelOf(const UIImageView& view) {
    return CGImageGetPixelForTesting(view.image() ? view.image()->CGImage() : nullptr, 0, 0);
}

bool isFrontSubview(const CVAwayView& host, const UIView* view) {
    return !host.subviews().empty() && host.subviews().back().get() == view;
}

TEST_F(AwayViewAddons, EachUnlockTypeBuildsOnlyItsOwnAddonWhileEnabled) {
    const struct {
        std::int32_t type;
        bool enabled, overlay, badge, vault;
    } cases[] = {
        {0, true, false, false, false},  {1, true, true, false, false},
        {2, true, false, false, false},  {3, true, false, false, false},
        {4, true, false, true, false},   {5, true, false, false, false},
        {6, true, false, false, true},   {7, true, false, false, false},
        {-1, true, false, false, false}, {1, false, false, false, false},
        {4, false, false, false, false}, {6, false, false, false, false},
    };
    for (const auto& c : cases) {
        settings.setEnabled(c.enabled);
        const auto view = viewOfType(c.type);
        ASSERT_TRUE(view);
        const std::string label = "type " + std::to_string(c.type) + (c.enabled ? "" : " disabled");
        EXPECT_EQ(bool(view->transparentOverlayView()), c.overlay) << label;
        EXPECT_EQ(bool(view->badgeView()), c.badge) << label;
        EXPECT_EQ(bool(view->vaultView()), c.vault) << label;
        EXPECT_EQ(view->subviews().size(), size_t(c.overlay + c.badge + c.vault)) << label;
    }
}

TEST_F(AwayViewAddons, OnlyTheSnapshotInitialiserTakesTheSettingsAndBuildsAddons) {
    settings.setUnlockType(CVUnlockType::Overlay);
    const UIImageRef snapshot = imageWithColorAndSize(UIColor::whiteColor(), {320, 480});
    const auto full = CVAwayView::createWithSnapshot(snapshot);
    const auto plain = CVAwayView::createWithImage(snapshot);
    for (const auto& view : {full, plain}) {
        ASSERT_TRUE(view);
        EXPECT_STREQ(class_getName(view->isa()), "CVAwayView");
        EXPECT_EQ(view->frame(), (CGRect{{0, 0}, {320, 480}}));
        EXPECT_EQ(view->image(), snapshot);
    }
    EXPECT_EQ(full->settings(), &settings);
    EXPECT_EQ(full->subviews().size(), 1u);
    EXPECT_EQ(plain->settings(), nullptr);
    // Without a settings record the tweak reads as disabled.
    plain->reconfigureAddons();
    EXPECT_TRUE(plain->subviews().empty());
    EXPECT_EQ(logLines.size(), 1u);
}

TEST_F(AwayViewAddons, OverlayCoversTheViewInFrontInBlackOfTheTransparency) {
    for (double transparency : {0.0, 0.3, 1.0}) {
        logLines.clear();
        settings.setOverlayTransparency(transparency);
        const auto view = viewOfType(1);
        const auto& overlay = view->transparentOverlayView();
        ASSERT_TRUE(overlay);
        EXPECT_EQ(logLines, std::vector<std::string>{"CRV -addTransparentOverlay:"});
        EXPECT_EQ(overlay->frame(), view->frame());
        EXPECT_TRUE(isFrontSubview(*view, overlay.get()));
        EXPECT_TRUE(overlay->isUserInteractionEnabled());
        const CGColorRef colour = overlay->backgroundColor()->CGColor();
        EXPECT_EQ(CGColorGetComponents(colour)[0], 0.0f);
        EXPECT_EQ(CGColorGetAlpha(colour), static_cast<float>(transparency));
    }
}

TEST_F(AwayViewAddons, BadgeShowsTheFileOfItsPullDirectionHalfOffTheEdge) {
    const struct {
        std::int32_t direction;
        CGRect frame;
        CGImagePixel colour;
    } cases[] = {
        {0, {{120, 430}, {80, 100}}, kRed},
        {1, {{-50, 200}, {100, 80}}, kBlue},
        {2, {{270, 200}, {100, 80}}, kGreen},
    };
    for (const auto& c : cases) {
        settings.setPullDirection(CVPullDirection{c.direction});
        // A view smaller than the screen: the frame follows the screen.
        const auto view = viewOfType(4, {100, 100});
        const auto& badge = view->badgeView();
        ASSERT_TRUE(badge) << c.direction;
        EXPECT_EQ(badge->frame(), c.frame) << c.direction;
        EXPECT_EQ(pixelOf(*badge), c.colour) << c.direction;
        EXPECT_TRUE(badge->isUserInteractionEnabled());
        EXPECT_TRUE(isFrontSubview(*view, badge.get()));
    }
    settings.setPullDirection(CVPullDirection{3});
    const auto view = viewOfType(4);
    EXPECT_FALSE(view->badgeView());
    EXPECT_TRUE(view->subviews().empty());
}

TEST_F(AwayViewAddons, OnlyTheCustomDesignIsTintedWithTheBadgeColour) {
    settings.setBadgeColor(UIColor::colorWithRed(1, 0, 0, 1));
    settings.setBadgeDesign("Custom");
    const auto custom = viewOfType(4);
    ASSERT_TRUE(custom->badgeView());
    EXPECT_EQ(pixelOf(*custom->badgeView()), kRed);  // the white file, tinted

    settings.setBadgeDesign("Red");
    const auto red = viewOfType(4);
    ASSERT_TRUE(red->badgeView());
    EXPECT_EQ(pixelOf(*red->badgeView()), kGreen);  // the file as it is
}

TEST_F(AwayViewAddons, MissingArtworkGivesEmptyButTouchableAddons) {
    std::filesystem::remove_all(root / "/Library/Corvane");
    for (std::int32_t type : {4, 6}) {
        const auto view = viewOfType(type);
        const auto& addon = type == 4 ? view->badgeView() : view->vaultView();
        ASSERT_TRUE(addon) << type;
        EXPECT_FALSE(addon->image()) << type;
        EXPECT_TRUE(addon->isUserInteractionEnabled()) << type;
        EXPECT_EQ(addon->hitTest({5, 5}, nullptr), addon.get()) << type;
    }
    EXPECT_TRUE(logLines.empty());
}

TEST_F(AwayViewAddons, VaultSitsInTheViewBesideItsMiddleOnEveryModel) {
    const struct {
        const char* model;
        CGSize host;
        CGRect frame;
    } cases[] = {
        {"iPhone", {320, 480}, {{24, 75}, {272, 310}}},
        {"iPad", {768, 1024}, {{248, 347}, {272, 310}}},
        {"iPad", {320, 480}, {{24, 75}, {272, 310}}},
    };
    for (const auto& c : cases) {
        UIDevice::currentDevice()->setModel(c.model);
        const auto view = viewOfType(6, c.host);
        const auto& vault = view->vaultView();
        ASSERT_TRUE(vault) << c.model;
        EXPECT_EQ(vault->frame(), c.frame) << c.model;
        EXPECT_EQ(pixelOf(*vault), kGrey) << c.model;
        EXPECT_TRUE(vault->isUserInteractionEnabled());
        EXPECT_TRUE(isFrontSubview(*view, vault.get()));
    }
}

TEST_F(AwayViewAddons, ReconfiguringAgainBuildsASecondSetBesideTheFirst) {
    const auto view = viewOfType(1);
    const UIView* first = view->transparentOverlayView().get();
    view->reconfigureAddons();
    EXPECT_EQ(view->subviews().size(), 2u);
    EXPECT_NE(view->transparentOverlayView().get(), first);
    EXPECT_TRUE(isFrontSubview(*view, view->transparentOverlayView().get()));
    EXPECT_EQ(logLines.size(), 2u);
}

}  // namespace
