// The session's logic on its own, in one process: the drag geometry, and the finishers against a
// SpringBoard stand-in that records the unlock requests. The session state is reset between
// tests, so each starts as the library does when it loads.

#include "platform/foundation/RunLoop.h"
#include "platform/uikit/UIImageView.h"
#include "platform/uikit/UIPinchGestureRecognizer.h"
#include "platform/uikit/UIRotationGestureRecognizer.h"
#include "platform/uikit/UIView.h"
#include "tests/support/TemporaryRoot.h"
#include "tweak/session/CVAwayController.h"
#include "tweak/session/DragGeometry.h"
#include "tweak/session/VaultMode.h"
#include "platform/springboard/SpringBoardInterface.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

using D = CVUnlockDirection;

TEST(DragGeometry, EachDirectionFollowsItsAxisAndHoldsItsForbiddenSideAtZero) {
    const CGPoint start{100, 100};
    const struct {
        D direction;
        CGPoint finger, origin;
    } cases[] = {
        {D::Any, {130, 60}, {30, -40}},      {D::Up, {130, 60}, {0, -40}},
        {D::Up, {130, 160}, {0, 0}},         {D::Down, {130, 60}, {0, 0}},
        {D::Down, {130, 160}, {0, 60}},      {D::UpOrDown, {130, 60}, {0, -40}},
        {D::Left, {60, 130}, {-40, 0}},      {D::Left, {160, 130}, {0, 0}},
        {D::Right, {60, 130}, {0, 0}},       {D::Right, {160, 130}, {60, 0}},
        {D::LeftOrRight, {60, 130}, {-40, 0}}, {D{9}, {160, 130}, {60, 0}},
        {D{-1}, {160, 130}, {0, 30}},  // a negative direction counts as vertical
    };
    for (const auto& c : cases) {
        const CGPoint origin = CVDraggedOrigin(CGPointZero, c.finger, start, c.direction);
        EXPECT_EQ(origin.x, c.origin.x) << static_cast<int>(c.direction);
        EXPECT_EQ(origin.y, c.origin.y) << static_cast<int>(c.direction);
    }
}

TEST(DragGeometry, UnlocksOnlyStrictlyBeyondTheScaledLimits) {
    const struct {
        CGPoint origin;
        double distance;
        bool beyond;
    } cases[] = {
        {{180, 0}, 1, false}, {{180.0001f, 0}, 1, true}, {{-180, 0}, 1, false},
        {{-181, 0}, 1, true}, {{0, 135}, 1, false},      {{0, 136}, 1, true},
        {{0, -180}, 1, false}, {{0, -181}, 1, true},     {{90, 0}, 0.5, false},
        {{91, 0}, 0.5, true}, {{0.5f, 0}, 0, true},      {{0, 0}, 0, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CVBeyondDragLimit(c.origin, c.distance), c.beyond)
            << c.origin.x << ", " << c.origin.y << " at " << c.distance;
    }
}

TEST(DragGeometry, FadesWithTheLargerOffsetAndNeverDividesByZero) {
    EXPECT_FLOAT_EQ(CVDragFadeAlpha({0, 135}, 1), 0.25f);   // down: the vertical formula, 180
    EXPECT_FLOAT_EQ(CVDragFadeAlpha({0, -180}, 1), 0.0f);   // up reaches 0 at its limit
    EXPECT_FLOAT_EQ(CVDragFadeAlpha({135, 0}, 1), 0.0f);    // sideways: the 135 formula
    EXPECT_FLOAT_EQ(CVDragFadeAlpha({-180, 0}, 1), 1 - 180.0f / 135);  // not clamped
    EXPECT_FLOAT_EQ(CVDragFadeAlpha({50, 50}, 1), 1 - 50.0f / 135);    // a tie: horizontal
    EXPECT_FLOAT_EQ(CVDragFadeAlpha({0, 0}, 0), 1.0f);
    EXPECT_FLOAT_EQ(CVDragFadeAlpha({3, 0}, 0), 0.0f);
    EXPECT_TRUE(std::isfinite(CVDragFadeAlpha({1e30f, 0}, 1e-300)));
}

// SpringBoard's lock controller, standing in: it records each unlock request with what the
// tweak's automatic-unlock flag said during the call.
struct UnlockRequest {
    bool sound, autoUnlockDuringCall;
};
std::vector<UnlockRequest> requests;

class StandInAwayController : public NSObject {
public:
    explicit StandInAwayController(Class cls) : NSObject(cls) {}
};

id sharedStandIn(Class cls, SEL) {
    static StandInAwayController controller(cls);
    return &controller;
}

void recordUnlock(id, SEL, bool sound) {
    requests.push_back({sound, CVAwayController::autoUnlock()});
}

class InProcessSession : public ::testing::Test {
protected:
    void SetUp() override {
        objc_defineClass("SBAwayController", NSObject::class_(),
                         {SB::sharedAwayController.implementedBy(&sharedStandIn),
                          SB::sharedAwayControllerIfExists.implementedBy(&sharedStandIn),
                          SB::unlockWithSound.implementedBy(&recordUnlock)});
        controller->resetForTesting();
        requests.clear();
        settings.loadSettings(std::nullopt);
        controller->setView(image);
    }
    void TearDown() override { settings.loadSettings(std::nullopt); }

    static void runFor(double seconds) {
        RunLoop::main().runUntil(RunLoop::main().now() + clockTimeFromSeconds(seconds));
    }
    CGPoint origin() const { return image->frame().origin; }

    TemporaryRoot root;
    CVSettings& settings = CVSettings::sharedCVSettings();
    std::shared_ptr<CVAwayController> controller = std::make_shared<CVAwayController>();
    std::shared_ptr<UIView> image = UIView::create(CGRectMake(0, 30, 320, 480));
};

using Finishers = InProcessSession;
using RecognizerGestures = InProcessSession;

TEST_F(Finishers, SlideOutGoesOffTheScreenOnItsAxisThenUnlocksWithTheFlagSet) {
    const struct {
        CVUnlockType type;
        D direction;
        CVPullDirection pull;
        CGPoint from, to;
    } cases[] = {
        {CVUnlockType::Drag, D::UpOrDown, CVPullDirection::Left, {0, 30}, {0, 480}},
        {CVUnlockType::Drag, D::UpOrDown, CVPullDirection::Left, {0, -30}, {0, -480}},
        {CVUnlockType::Drag, D::Right, CVPullDirection::Left, {0, 30}, {-320, 30}},  // 0 goes left
        {CVUnlockType::PullBadge, D::Any, CVPullDirection::Right, {40, 0}, {332, 0}},
        {CVUnlockType::PullBadge, D::Any, CVPullDirection::Up, {0, -10}, {0, -492}},
        {CVUnlockType::PullBadge, D::Any, CVPullDirection{3}, {5, 6}, {5, 6}},
    };
    for (const auto& c : cases) {
        requests.clear();
        settings.setUnlockType(c.type);
        settings.setUnlockDirection(c.direction);
        settings.setPullDirection(c.pull);
        image->setFrame({c.from, {320, 480}});
        controller->moveOutAndUnlock();
        EXPECT_EQ(origin().x, c.to.x);
        EXPECT_EQ(origin().y, c.to.y);
        runFor(0.24);
        EXPECT_TRUE(requests.empty());
        runFor(0.02);
        ASSERT_EQ(requests.size(), 1u);
        EXPECT_TRUE(requests[0].autoUnlockDuringCall);
        EXPECT_FALSE(CVAwayController::autoUnlock());
    }
}

TEST_F(Finishers, FadeOutContinuesTheLastFingerStepOnTheAllowedAxisOnly) {
    const struct {
        D direction;
        CGPoint to;
    } cases[] = {{D::Any, {7, 25}}, {D::Left, {7, 30}}, {D::Up, {0, 25}}};
    for (const auto& c : cases) {
        requests.clear();
        settings.setUnlockDirection(c.direction);
        settings.setPlayUnlockSound(true);
        image->setFrame(CGRectMake(0, 30, 320, 480));
        image->setAlpha(1);
        controller->previousPosition = {10, 10};
        controller->currentPosition = {17, 5};
        controller->fadeOutAndUnlock();
        EXPECT_EQ(origin().x, c.to.x);
        EXPECT_EQ(origin().y, c.to.y);
        EXPECT_EQ(image->alpha(), 0);
        runFor(0.16);
        ASSERT_EQ(requests.size(), 1u);
        EXPECT_TRUE(requests[0].sound);
    }
}

// A pinch recogniser whose states a test sets itself, as two fingers would.
class ScriptedPinch : public UIPinchGestureRecognizer {
public:
    using UIPinchGestureRecognizer::UIPinchGestureRecognizer;
    void step(UIGestureRecognizerState state, CGFloat scale) {
        setScale(scale);
        setState(state);
    }
};

TEST_F(RecognizerGestures, APinchAsksForOneUnlockPerGestureHoweverFarItGoes) {
    settings.setUnlockType(CVUnlockType::Pinch);
    auto pinch = std::make_shared<ScriptedPinch>(controller.get(),
                                                 CVAwayControllerMessage::onPinch.selector());
    pinch->step(UIGestureRecognizerStateBegan, 0.45f);
    pinch->step(UIGestureRecognizerStateChanged, 0.3f);
    pinch->step(UIGestureRecognizerStateChanged, 0.2f);
    EXPECT_EQ(requests.size(), 1u);
    EXPECT_FLOAT_EQ(image->transform().a, 0.2f);  // the image still follows the fingers
    pinch->step(UIGestureRecognizerStateEnded, 0.2f);
    runFor(0.6);
    pinch->step(UIGestureRecognizerStateBegan, 2.5f);  // a new gesture asks anew
    EXPECT_EQ(requests.size(), 2u);
}

TEST_F(RecognizerGestures, WithAPasscodeTheImageSpringsBackBeforeTheOneUnlock) {
    settings.setUnlockType(CVUnlockType::Pinch);
    CVSession().devicePassworded = true;
    auto pinch = std::make_shared<ScriptedPinch>(controller.get(),
                                                 CVAwayControllerMessage::onPinch.selector());
    pinch->step(UIGestureRecognizerStateBegan, 0.49f);
    EXPECT_TRUE(CVSession().isUnlocking);
    pinch->step(UIGestureRecognizerStateChanged, 0.3f);  // ignored while the image springs back
    EXPECT_FLOAT_EQ(image->transform().a, 1.0f);
    runFor(0.51);
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_TRUE(requests[0].autoUnlockDuringCall);
    EXPECT_FALSE(CVSession().isUnlocking);
    EXPECT_TRUE(image->isHidden());
    pinch->step(UIGestureRecognizerStateChanged, 0.3f);  // past the limit again: back, no request
    runFor(0.51);
    EXPECT_EQ(requests.size(), 1u);
    pinch->step(UIGestureRecognizerStateChanged, 0.5f);  // exactly 0.5 is within the limits
    EXPECT_FALSE(CVSession().isUnlocking);
}

// A rotation recogniser whose states a test sets itself.
class ScriptedRotation : public UIRotationGestureRecognizer {
public:
    using UIRotationGestureRecognizer::UIRotationGestureRecognizer;
    void step(UIGestureRecognizerState state, CGFloat rotation) {
        setRotation(rotation);
        setState(state);
    }
};

TEST_F(RecognizerGestures, RotationLimitsAreTheFloat1Point57NotAQuarterTurn) {
    settings.setUnlockType(CVUnlockType::Rotate);
    const struct {
        float rotation;
        bool unlocks;
    } cases[] = {{1.5699f, false}, {1.57f, true}, {-1.57f, true}, {-1.5699f, false}};
    for (const auto& c : cases) {
        requests.clear();
        auto rotate = std::make_shared<ScriptedRotation>(
            controller.get(), CVAwayControllerMessage::onRotate.selector());
        rotate->step(UIGestureRecognizerStateBegan, c.rotation);
        EXPECT_EQ(requests.size(), c.unlocks ? 1u : 0u) << c.rotation;
        rotate->step(UIGestureRecognizerStateEnded, c.rotation);
        runFor(0.6);
    }
}

TEST_F(RecognizerGestures, TheVaultUnlocksAtOnceEvenWithAPasscodeAndStaysTurned) {
    settings.setUnlockType(CVUnlockType::Vault);
    CVSession().devicePassworded = true;
    CVVaultMode::shared().setVaultViewForTesting(
        UIView::create<UIImageView>(CGRectMake(24, 75, 272, 310)));
    auto vault = std::make_shared<ScriptedRotation>(
        controller.get(), CVAwayControllerMessage::onVaultRotate.selector());
    vault->step(UIGestureRecognizerStateBegan, 1.0f);
    EXPECT_TRUE(requests.empty());
    vault->step(UIGestureRecognizerStateChanged, 1.6f);
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_TRUE(requests[0].autoUnlockDuringCall);
    EXPECT_TRUE(CVSession().isUnlocking);
    vault->step(UIGestureRecognizerStateEnded, 1.6f);  // ignored while unlocking
    runFor(0.6);
    EXPECT_FLOAT_EQ(CVVaultMode::shared().vaultView()->transform().b, std::sin(1.6f));
}

}  // namespace
