#include "platform/uikit/UIApplication.h"
#include "platform/uikit/UIImageView.h"
#include "platform/uikit/UIScreen.h"
#include "platform/uikit/UIView.h"
#include "platform/uikit/UIViewController.h"
#include "platform/uikit/UIWindow.h"

#include <gtest/gtest.h>

#include <numbers>
#include <string>

namespace {

std::shared_ptr<UIView> tagged(int tag) {
    auto view = UIView::create({0, 0, 10, 10});
    view->setTag(tag);
    return view;
}

// The tags of the subviews, back to front, checked against the layer order.
std::string order(const UIView& parent) {
    std::string tags;
    for (size_t i = 0; i < parent.subviews().size(); ++i) {
        const auto& view = parent.subviews()[i];
        EXPECT_EQ(parent.layer()->sublayers()[i].get(), view->layer());
        tags += std::to_string(view->tag());
    }
    return tags;
}

TEST(UIViewHierarchy, ReorderingSubviewsReordersTheirLayers) {
    auto parent = UIView::create({0, 0, 100, 100});
    auto v1 = tagged(1), v2 = tagged(2), v3 = tagged(3), v4 = tagged(4);
    parent->addSubview(v1);
    parent->addSubview(v2);
    parent->addSubview(v3);
    EXPECT_EQ(order(*parent), "123");
    parent->bringSubviewToFront(v1.get());
    EXPECT_EQ(order(*parent), "231");
    parent->sendSubviewToBack(v3.get());
    EXPECT_EQ(order(*parent), "321");
    parent->insertSubviewBelowSubview(v4, v2.get());
    EXPECT_EQ(order(*parent), "3421");
    parent->insertSubviewAboveSubview(v3, v1.get());
    EXPECT_EQ(order(*parent), "4213");
    parent->insertSubview(v1, 0);
    EXPECT_EQ(order(*parent), "1423");
    parent->addSubview(v4);  // already there: comes to the front
    EXPECT_EQ(order(*parent), "1234");
}

TEST(UIViewHierarchy, MovingAViewTakesItFromItsOldSuperviewAndRemovalReleasesIt) {
    auto a = UIView::create({0, 0, 10, 10}), b = UIView::create({0, 0, 10, 10});
    std::weak_ptr<UIView> child;
    {
        auto view = tagged(7);
        child = view;
        a->addSubview(view);
    }
    b->addSubview(child.lock());
    EXPECT_TRUE(a->subviews().empty());
    EXPECT_EQ(child.lock()->superview(), b.get());
    EXPECT_EQ(b->viewWithTag(7), child.lock().get());
    child.lock()->removeFromSuperview();
    EXPECT_TRUE(child.expired());
    EXPECT_TRUE(b->layer()->sublayers().empty());
}

TEST(UIViewHierarchy, AViewCannotBecomeItsOwnAncestor) {
    auto a = UIView::create({0, 0, 10, 10}), b = UIView::create({0, 0, 10, 10});
    a->addSubview(b);
    b->addSubview(a);
    EXPECT_EQ(a->superview(), nullptr);
    EXPECT_TRUE(b->subviews().empty());
}

TEST(UIViewHierarchy, FrameCenterAndBoundsStayConsistent) {
    auto view = UIView::create({10, 20, 100, 50});
    EXPECT_EQ(view->center(), (CGPoint{60, 45}));
    EXPECT_EQ(view->bounds(), (CGRect{{0, 0}, {100, 50}}));
    view->setCenter({0, 0});
    EXPECT_EQ(view->frame(), (CGRect{{-50, -25}, {100, 50}}));
    view->setBounds({0, 0, 20, 20});  // keeps the center
    EXPECT_EQ(view->frame(), (CGRect{{-10, -10}, {20, 20}}));
    view->setTransform(CGAffineTransformMakeScale(2, 3));
    EXPECT_EQ(view->frame(), (CGRect{{-20, -30}, {40, 60}}));
    EXPECT_EQ(view->bounds().size, (CGSize{20, 20}));
    EXPECT_EQ(frameOf(nullptr), CGRectZero);
}

TEST(UIViewHierarchy, ConvertsPointsThroughTransformsAndBoundsOrigins) {
    auto window = UIView::create<UIWindow>({100, 0, 320, 480});
    auto outer = UIView::create({10, 10, 100, 100});
    auto inner = UIView::create({0, 0, 20, 20});
    outer->setBounds({-5, -5, 100, 100});  // content scrolled by 5
    inner->setCenter({50, 50});
    inner->setTransform(CGAffineTransformMakeRotation(std::numbers::pi_v<float> / 2));
    window->addSubview(outer);
    outer->addSubview(inner);
    // inner's (20, 0) corner is its top-right; turned a quarter it lies at outer's (60, 60).
    const CGPoint inOuter = inner->convertPointToView({20, 0}, outer.get());
    EXPECT_NEAR(inOuter.x, 60, 1e-4);
    EXPECT_NEAR(inOuter.y, 60, 1e-4);
    const CGPoint inWindow = inner->convertPointToView({20, 0}, nullptr);
    EXPECT_NEAR(inWindow.x, 75, 1e-4);
    EXPECT_NEAR(inWindow.y, 75, 1e-4);
    const CGPoint onScreen = inner->convertPointToScreen({20, 0});
    EXPECT_NEAR(onScreen.x, 175, 1e-4);
    const CGPoint back = inner->convertPointFromView(inWindow, window.get());
    EXPECT_NEAR(back.x, 20, 1e-4);
    EXPECT_NEAR(back.y, 0, 1e-4);
    EXPECT_EQ(inner->window(), window.get());
    EXPECT_EQ(UIView::create({0, 0, 1, 1})->window(), nullptr);
}

TEST(UIViewHierarchy, ViewPropertiesLiveInTheLayer) {
    auto view = UIView::create({0, 0, 10, 10});
    view->setAlpha(0.25f);
    view->setHidden(true);
    view->setClipsToBounds(true);
    view->setBackgroundColor(UIColor::blackColor());
    EXPECT_EQ(view->layer()->opacity(), 0.25f);
    EXPECT_TRUE(view->layer()->isHidden());
    EXPECT_TRUE(view->layer()->masksToBounds());
    EXPECT_EQ(view->layer()->backgroundColor(), view->backgroundColor()->CGColor());
    EXPECT_EQ(view->layer()->delegate(), view.get());
}

TEST(UIImageView, TakesTheImagesSizeAndShowsItAsLayerContents) {
    const std::vector<CGImagePixel> pixels(8 * 6, CGImagePixel{1, 2, 3, 255});
    auto image =
        UIImage::imageWithCGImage(CGImageCreateWithPixels(8, 6, pixels), 2, UIImageOrientationUp);
    auto view = UIImageView::createWithImage(image);
    EXPECT_EQ(view->frame(), (CGRect{{0, 0}, {4, 3}}));
    EXPECT_EQ(view->layer()->contents(), image->CGImage());
    EXPECT_FALSE(view->isUserInteractionEnabled());
    view->setImage(nullptr);
    EXPECT_EQ(view->layer()->contents(), nullptr);
    EXPECT_EQ(UIImageView::createWithImage(nullptr)->frame(), CGRectZero);
}

TEST(UIViewController, OwnsItsViewAndIsItsNextResponder) {
    auto controller = std::make_shared<UIViewController>();
    EXPECT_EQ(controller->view(), nullptr);
    auto parent = UIView::create({0, 0, 10, 10});
    auto view = UIView::create({0, 0, 10, 10});
    parent->addSubview(view);
    controller->setView(view);
    EXPECT_EQ(view->nextResponder(), controller.get());
    EXPECT_EQ(controller->nextResponder(), parent.get());
    controller->setView(nullptr);
    EXPECT_EQ(view->nextResponder(), parent.get());
}

}  // namespace
