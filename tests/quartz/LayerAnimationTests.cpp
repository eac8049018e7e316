#include "ViewsTestSupport.h"

#include "platform/graphics/CGPath.h"
#include "platform/quartz/CAAnimationGroup.h"
#include "platform/quartz/CABasicAnimation.h"
#include "platform/quartz/CAFilter.h"
#include "platform/quartz/CAKeyframeAnimation.h"
#include "platform/quartz/CALayer.h"

#include <gtest/gtest.h>

namespace {

CGPoint presentedPosition(const CALayer& layer) {
    return layer.presentationLayer()->position();
}

std::shared_ptr<CABasicAnimation> move(CGPoint from, CGPoint to, double duration) {
    auto animation = CABasicAnimation::animationWithKeyPath("position");
    animation->setFromValue(from);
    animation->setToValue(to);
    animation->setDuration(duration);
    return animation;
}

TEST(CALayerAnimation, ChangesOnlyThePresentationAndEndsAtTheModel) {
    CALayer layer;
    layer.setPosition({100, 100});
    layer.addAnimation(move({0, 0}, {100, 100}, 1.0), "move");
    EXPECT_EQ(layer.position(), (CGPoint{100, 100}));  // the model is untouched
    EXPECT_EQ(presentedPosition(layer), (CGPoint{0, 0}));
    runFor(0.25);
    EXPECT_EQ(presentedPosition(layer), (CGPoint{25, 25}));
    runFor(0.75);
    EXPECT_EQ(layer.animationForKey("move"), nullptr);  // removed on completion
    EXPECT_EQ(presentedPosition(layer), (CGPoint{100, 100}));
}

TEST(CALayerAnimation, AddingKeepsACopyOfTheDescription) {
    CALayer layer;
    auto animation = move({0, 0}, {10, 0}, 1.0);
    layer.addAnimation(animation, "move");
    animation->setToValue(CGPoint{1000, 0});
    runFor(1.0 - 1e-6);
    EXPECT_NEAR(presentedPosition(layer).x, 10, 1e-3);
    EXPECT_NE(layer.animationForKey("move"), animation);
}

struct FillCase {
    const char* name;
    CAFillMode fill;
    bool removed;
    float before, after;  // presented x before the start and after the end
};

// Model x is 50; the animation runs from 0 to 100, one second from now, for one second.
TEST(CALayerAnimation, FillModesAndRemovalDecideWhatShowsOutsideTheActiveTime) {
    const FillCase cases[] = {
        {"removed", kCAFillModeRemoved, true, 50, 50},
        {"forwards kept", kCAFillModeForwards, false, 50, 100},
        {"forwards removed", kCAFillModeForwards, true, 50, 50},
        {"backwards kept", kCAFillModeBackwards, false, 0, 50},
        {"both kept", kCAFillModeBoth, false, 0, 100},
    };
    for (const FillCase& c : cases) {
        CALayer layer;
        layer.setPosition({50, 0});
        auto animation = move({0, 0}, {100, 0}, 1.0);
        animation->setBeginTime(CACurrentMediaTime() + 1);
        animation->setFillMode(c.fill);
        animation->setRemovedOnCompletion(c.removed);
        layer.addAnimation(animation, "x");
        EXPECT_EQ(presentedPosition(layer).x, c.before) << c.name;
        runFor(1.5);
        EXPECT_EQ(presentedPosition(layer).x, 50) << c.name << " halfway";
        runFor(1.0);
        EXPECT_EQ(presentedPosition(layer).x, c.after) << c.name;
        EXPECT_EQ(layer.animationForKey("x") != nullptr, !c.removed) << c.name;
    }
}

TEST(CALayerAnimation, DelegateHearsStartAndStopThroughTheRunLoopWithItsStoredId) {
    auto recorder = std::make_shared<Recorder>();
    CALayer layer;
    auto animation = move({0, 0}, {1, 1}, 0.5);
    animation->setValue(std::string("curlAway"), "id");
    animation->setDelegate(recorder.get());
    layer.addAnimation(animation, "a");
    EXPECT_TRUE(recorder->log.empty());  // nothing before the loop runs
    runFor(0);
    EXPECT_EQ(recorder->log, (std::vector<std::string>{"start curlAway"}));
    runFor(0.499);
    EXPECT_EQ(recorder->log.size(), 1u);
    runFor(0.001);
    EXPECT_EQ(recorder->log.back(), "stop curlAway finished");
}

TEST(CALayerAnimation, ReplacingUnderTheSameKeyStopsTheOldOneAtOnceUnfinished) {
    auto recorder = std::make_shared<Recorder>();
    CALayer layer;
    auto first = move({0, 0}, {100, 0}, 1.0);
    first->setValue(std::string("first"), "id");
    first->setDelegate(recorder.get());
    layer.addAnimation(first, "k");
    runFor(0.5);
    auto second = move({0, 0}, {0, 100}, 1.0);
    second->setValue(std::string("second"), "id");
    second->setDelegate(recorder.get());
    layer.addAnimation(second, "k");
    EXPECT_EQ(recorder->log.back(), "stop first cut");
    EXPECT_EQ(presentedPosition(layer), (CGPoint{0, 0}));
    runFor(1.0);
    EXPECT_EQ(recorder->log.back(), "stop second finished");
    EXPECT_EQ(std::count(recorder->log.begin(), recorder->log.end(), "stop first cut"), 1);
}

TEST(CALayerAnimation, ADelegateThatWentAwayIsToldNothing) {
    CALayer layer;
    {
        auto recorder = std::make_shared<Recorder>();
        auto animation = move({0, 0}, {1, 1}, 0.1);
        animation->setDelegate(recorder.get());
        layer.addAnimation(animation, "a");
    }
    runFor(0.2);  // would crash if the delegate were called
    EXPECT_FALSE(layer.hasAnimations());
}

TEST(CALayerAnimation, MissingValuesComeFromTheUnderlyingValue) {
    CALayer layer;
    layer.setOpacity(0.5f);
    auto to = CABasicAnimation::animationWithKeyPath("opacity");
    to->setToValue(1.0);
    to->setDuration(1);
    layer.addAnimation(to, "to");
    auto by = CABasicAnimation::animationWithKeyPath("position");
    by->setByValue(CGPoint{10, 0});
    by->setDuration(1);
    layer.addAnimation(by, "by");
    runFor(0.5);
    const auto presented = layer.presentationLayer();
    EXPECT_FLOAT_EQ(presented->opacity(), 0.75f);
    EXPECT_FLOAT_EQ(presented->position().x, 5);
    runFor(0.5);
}

TEST(CALayerAnimation, TransformsTurnRatherThanShrink) {
    CALayer layer;
    auto turn = CABasicAnimation::animationWithKeyPath("transform");
    turn->setFromValue(CGAffineTransformMakeRotation(0));
    turn->setToValue(CGAffineTransformMakeRotation(1.5f));
    turn->setDuration(1);
    layer.addAnimation(turn, "turn");
    runFor(0.5);
    const CGAffineTransform t = layer.presentationLayer()->affineTransform();
    EXPECT_NEAR(std::hypot(t.a, t.b), 1, 1e-5);  // a component-wise mix would give cos 0.75
    EXPECT_NEAR(std::atan2(t.b, t.a), 0.75, 1e-5);
    runFor(0.5);
}

TEST(CALayerAnimation, KeyframesAlongAPathGiveEachSegmentAnEqualShare) {
    CALayer layer;
    auto path = CGPathCreateMutable();
    CGPathMoveToPoint(path, nullptr, 0, 0);
    CGPathAddLineToPoint(path, nullptr, 100, 0);   // long segment
    CGPathAddLineToPoint(path, nullptr, 100, 10);  // short segment
    auto along = CAKeyframeAnimation::animationWithKeyPath("position");
    along->setPath(path);
    along->setDuration(2);
    layer.addAnimation(along, "path");
    runFor(0.5);
    EXPECT_EQ(presentedPosition(layer), (CGPoint{50, 0}));
    runFor(1.0);
    EXPECT_EQ(presentedPosition(layer), (CGPoint{100, 5}));
    runFor(0.5);
}

TEST(CALayerAnimation, AGroupPacesItsMembersOnItsOwnCurve) {
    CALayer layer;
    layer.setAffineTransform(CGAffineTransformMakeScale(2, 2));
    auto position = move({0, 0}, {100, 0}, 1);
    auto transform = CABasicAnimation::animationWithKeyPath("transform");
    transform->setToValue(CGAffineTransformIdentity);
    transform->setDuration(1);
    auto group = CAAnimationGroup::animation();
    group->setAnimations({position, transform});
    group->setDuration(1);
    group->setTimingFunction(CAMediaTimingFunction::functionWithName(kCAMediaTimingFunctionEaseIn));
    layer.addAnimation(group, "group");
    runFor(0.5);
    const auto presented = layer.presentationLayer();
    EXPECT_NEAR(presented->position().x, 31.53568, 1e-3);  // ease-in at one half
    EXPECT_NEAR(presented->affineTransform().a, 2 - 0.3153568, 1e-5);
    runFor(0.5);
    EXPECT_EQ(layer.presentationLayer()->affineTransform().a, 2);  // back to the model
}

TEST(CALayerAnimation, FilterInputsAnimateByKeyPathWithoutTouchingTheFilter) {
    CALayer layer;
    auto curl = CAFilter::filterWithType(kCAFilterPageCurl);
    curl->setDefaults();
    curl->setValue(0.4, "inputTime");
    layer.setFilters({curl});
    auto away = CABasicAnimation::animationWithKeyPath("filters.pageCurl.inputTime");
    away->setFromValue(0.4);
    away->setToValue(1.0);
    away->setDuration(0.25);
    away->setFillMode(kCAFillModeForwards);
    away->setRemovedOnCompletion(false);
    layer.addAnimation(away, "curlAwayAnimation");
    runFor(0.125);
    auto presented = layer.presentationProperties(RunLoop::main().now());
    EXPECT_NEAR(CAValueDoubleValue(presented.valueForKeyPath("filters.pageCurl.inputTime")), 0.7,
                1e-9);
    EXPECT_EQ(CAValueDoubleValue(curl->valueForKey("inputTime")), 0.4);
    runFor(1);
    presented = layer.presentationProperties(RunLoop::main().now());
    EXPECT_EQ(CAValueDoubleValue(presented.valueForKeyPath("filters.pageCurl.inputTime")), 1.0);
}

TEST(CALayerAnimation, RemovingAnimationsTellsTheirDelegatesOnceEach) {
    auto recorder = std::make_shared<Recorder>();
    CALayer layer;
    for (const char* key : {"a", "b"}) {
        auto animation = move({0, 0}, {1, 1}, 1);
        animation->setValue(std::string(key), "id");
        animation->setDelegate(recorder.get());
        layer.addAnimation(animation, key);
    }
    layer.removeAnimationForKey("a");
    layer.removeAllAnimations();
    runFor(2);
    EXPECT_EQ(recorder->log, (std::vector<std::string>{"stop a cut", "stop b cut"}));
}

}  // namespace
