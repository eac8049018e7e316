#include "platform/uikit/UISlider.h"

#include "platform/uikit/UIKitArtwork.h"
#include "platform/uikit/UITouch.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr CGFloat kThumbRadius = UISlider::kHeight / 2;
// How far from the thumb a finger may go down and still take it.
constexpr CGFloat kThumbGrabMargin = 10;
constexpr CGFloat kTrackHeight = 9;

// The era's track: a glossy blue on the minimum side, a pale grey on the other.
constexpr uint32_t kMinimumTrackTop = 0x6AA6F2, kMinimumTrackBottom = 0x1F66D6;
constexpr uint32_t kMaximumTrackTop = 0xBDBDBD, kMaximumTrackBottom = 0xF7F7F7;
constexpr uint32_t kTrackEdge = 0x6E7A8A;
constexpr uint32_t kThumbTop = 0xFFFFFF, kThumbBottom = 0xC9C9C9, kThumbEdge = 0x8C8C8C;

CGRect withHeight(CGRect rect, CGFloat height) {
    rect.size.height = height;
    return rect;
}

}  // namespace

Class UISlider::class_() {
    static const Class cls = objc_defineClass(
        "UISlider", UIControl::class_(),
        {UIViewMessage::initWithFrame.implementedBy(&initWithFrameImplementation),
         UIControlMessage::beginTracking.implementedBy(&beginTrackingImplementation),
         UIControlMessage::continueTracking.implementedBy(&continueTrackingImplementation),
         UIControlMessage::endTracking.implementedBy(&endTrackingImplementation)});
    return cls;
}

UISlider::UISlider(Class cls) : UIControl(cls) {}

id UISlider::initWithFrameImplementation(id self, SEL cmd, CGRect frame) {
    auto* slider = static_cast<UISlider*>(
        UIView::initWithFrameImplementation(self, cmd, withHeight(frame, kHeight)));
    if (slider) slider->redraw();
    return slider;
}

void UISlider::setFrame(CGRect frame) {
    UIView::setFrame(withHeight(frame, kHeight));
    redraw();
}

void UISlider::setBounds(CGRect bounds) {
    UIView::setBounds(withHeight(bounds, kHeight));
    redraw();
}

// The value.

void UISlider::setMinimumValue(float minimum) {
    minimum_ = minimum;
    maximum_ = std::max(maximum_, minimum);
    setValue(value_);
}

void UISlider::setMaximumValue(float maximum) {
    maximum_ = maximum;
    minimum_ = std::min(minimum_, maximum);
    setValue(value_);
}

void UISlider::setValue(float value) {
    value_ = std::clamp(value, minimum_, maximum_);
    redraw();
}

CGPoint UISlider::thumbCenter() const {
    const CGFloat travel = std::max<CGFloat>(bounds().size.width - 2 * kThumbRadius, 0);
    const float span = maximum_ - minimum_;
    const float fraction = span > 0 ? (value_ - minimum_) / span : 0;
    return {kThumbRadius + travel * fraction, kHeight / 2};
}

float UISlider::valueAtThumbCenter(CGFloat x) const {
    const CGFloat travel = bounds().size.width - 2 * kThumbRadius;
    if (travel <= 0) return minimum_;
    const float fraction = std::clamp((x - kThumbRadius) / travel, 0.0f, 1.0f);
    return minimum_ + fraction * (maximum_ - minimum_);
}

// Tracking.

bool UISlider::beginTrackingImplementation(id self, SEL, UITouch* touch, UIEvent*) {
    auto* slider = static_cast<UISlider*>(self);
    const CGPoint p = touch->locationInView(slider);
    const CGPoint thumb = slider->thumbCenter();
    if (std::fabs(p.x - thumb.x) > kThumbRadius + kThumbGrabMargin) return false;
    slider->grabOffset_ = p.x - thumb.x;
    slider->valueAtTouchDown_ = slider->value_;
    return true;
}

bool UISlider::continueTrackingImplementation(id self, SEL, UITouch* touch, UIEvent* event) {
    auto* slider = static_cast<UISlider*>(self);
    const float before = slider->value_;
    slider->setValue(
        slider->valueAtThumbCenter(touch->locationInView(slider).x - slider->grabOffset_));
    if (slider->continuous_ && slider->value_ != before) {
        slider->sendActions(UIControlEventValueChanged, event);
    }
    return true;
}

void UISlider::endTrackingImplementation(id self, SEL, UITouch*, UIEvent* event) {
    auto* slider = static_cast<UISlider*>(self);
    if (!slider->continuous_ && slider->value_ != slider->valueAtTouchDown_) {
        slider->sendActions(UIControlEventValueChanged, event);
    }
}

// Drawing.

void UISlider::redraw() {
    const CGSize size = bounds().size;
    const CGFloat thumbX = thumbCenter().x;
    const UIImageRef image = UIArtworkImage(
        size,
        [&](const CGContextRef& ctx) {
            const CGFloat trackY = (kHeight - kTrackHeight) / 2;
            const CGRect track{{1, trackY}, {size.width - 2, kTrackHeight}};
            const UIArtworkCorners round{kTrackHeight / 2, kTrackHeight / 2};
            // The maximum side first, the minimum side over it up to the thumb.
            UIArtworkFillRoundedRect(ctx, track, round, kMaximumTrackTop, kMaximumTrackBottom);
            CGRect filled = track;
            filled.size.width = std::max<CGFloat>(thumbX - track.origin.x, kTrackHeight);
            UIArtworkFillRoundedRect(ctx, filled, round, kMinimumTrackTop, kMinimumTrackBottom);
            UIArtworkStrokeRoundedRect(ctx, track, round, 1, kTrackEdge, 0.6f);
            const CGRect thumb{{thumbX - kThumbRadius, 0}, {kHeight, kHeight}};
            UIArtworkFillCircle(ctx, thumb, kThumbTop, kThumbBottom, kThumbEdge);
        },
        isEnabled() ? 1 : 0.5f);
    layer()->setContents(image ? image->CGImage() : nullptr);
}
