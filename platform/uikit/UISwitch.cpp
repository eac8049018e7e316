#include "platform/uikit/UISwitch.h"

#include "platform/uikit/UIImageView.h"
#include "platform/uikit/UIKitArtwork.h"
#include "platform/uikit/UITouch.h"

#include <cmath>

namespace {

constexpr double kToggleSeconds = 0.2;
// How far a finger must slide the knob for the direction to decide the state.
constexpr CGFloat kSlideDistance = 10;
constexpr CGFloat kKnobDiameter = UISwitch::kSize.height;

constexpr uint32_t kOnTop = 0x1462C8, kOnBottom = 0x3A94F6;
constexpr uint32_t kOffTop = 0xDADADA, kOffBottom = 0xFAFAFA;
constexpr uint32_t kTrackEdge = 0x8A8A8A;
constexpr uint32_t kOffText = 0x7A7A7A;
constexpr uint32_t kKnobTop = 0xFFFFFF, kKnobBottom = 0xD4D4D4, kKnobEdge = 0x9A9A9A;

CGRect withSwitchSize(CGRect frame) {
    frame.size = UISwitch::kSize;
    return frame;
}

// The two states a switch shows.
enum class SwitchState { Off, On };

// The track of one state, its label in the part the knob leaves uncovered.
void drawTrack(const CGContextRef& ctx, SwitchState state) {
    const bool on = state == SwitchState::On;
    const CGRect track{CGPointZero, UISwitch::kSize};
    const UIArtworkCorners pill{kKnobDiameter / 2, kKnobDiameter / 2};
    UIArtworkFillRoundedRect(ctx, track, pill, on ? kOnTop : kOffTop, on ? kOnBottom : kOffBottom);
    UIArtworkStrokeRoundedRect(ctx, track, pill, 1, kTrackEdge);
    CGTextStyle style;
    style.fontSize = 16;
    style.weight = CGTextWeight::Bold;
    style.color = on ? UIArtworkColor(0xFFFFFF) : UIArtworkColor(kOffText);
    const CGFloat labelWidth = UISwitch::kSize.width - kKnobDiameter;
    const CGRect label{{on ? 0 : kKnobDiameter, 0}, {labelWidth, UISwitch::kSize.height}};
    CGContextShowTextInRect(ctx, on ? "ON" : "OFF", label, style);
}

}  // namespace

Class UISwitch::class_() {
    static const Class cls = objc_defineClass(
        "UISwitch", UIControl::class_(),
        {UIViewMessage::initWithFrame.implementedBy(&initWithFrameImplementation),
         UIControlMessage::beginTracking.implementedBy(&beginTrackingImplementation),
         UIControlMessage::endTracking.implementedBy(&endTrackingImplementation)});
    return cls;
}

UISwitch::UISwitch(Class cls)
    : UIControl(cls),
      offTrack_(UIView::create<UIImageView>({CGPointZero, kSize})),
      onTrack_(UIView::create<UIImageView>({CGPointZero, kSize})),
      knob_(UIView::create<UIImageView>(CGRectZero)) {
    addSubview(offTrack_);
    addSubview(onTrack_);
    addSubview(knob_);
    redraw();
    showState();
}

id UISwitch::initWithFrameImplementation(id self, SEL cmd, CGRect frame) {
    return UIView::initWithFrameImplementation(self, cmd, withSwitchSize(frame));
}

void UISwitch::setFrame(CGRect frame) {
    UIView::setFrame(withSwitchSize(frame));
}

void UISwitch::setOn(bool on, bool animated) {
    on_ = on;
    if (animated) {
        UIView::animateWithDuration(kToggleSeconds, [this] { showState(); });
    } else {
        showState();
    }
}

CGRect UISwitch::knobFrame() const {
    return {{on_ ? kSize.width - kKnobDiameter : 0, 0}, {kKnobDiameter, kKnobDiameter}};
}

void UISwitch::showState() {
    onTrack_->setAlpha(on_ ? 1 : 0);
    knob_->setFrame(knobFrame());
}

void UISwitch::redraw() {
    const CGFloat opacity = isEnabled() ? 1 : 0.5f;
    offTrack_->setImage(UIArtworkImage(
        kSize, [](const CGContextRef& ctx) { drawTrack(ctx, SwitchState::Off); }, opacity));
    onTrack_->setImage(UIArtworkImage(
        kSize, [](const CGContextRef& ctx) { drawTrack(ctx, SwitchState::On); }, opacity));
    knob_->setImage(UIArtworkImage(
        {kKnobDiameter, kKnobDiameter},
        [](const CGContextRef& ctx) {
            UIArtworkFillCircle(ctx, {CGPointZero, {kKnobDiameter, kKnobDiameter}}, kKnobTop,
                                kKnobBottom, kKnobEdge);
        },
        opacity));
}

// Tracking.

bool UISwitch::beginTrackingImplementation(id self, SEL, UITouch* touch, UIEvent*) {
    auto* control = static_cast<UISwitch*>(self);
    control->touchDownX_ = touch->locationInView(control).x;
    return true;
}

void UISwitch::endTrackingImplementation(id self, SEL, UITouch* touch, UIEvent* event) {
    auto* control = static_cast<UISwitch*>(self);
    if (!control->isTouchInside()) return;
    const CGFloat slid = touch->locationInView(control).x - control->touchDownX_;
    const bool on = std::fabs(slid) > kSlideDistance ? slid > 0 : !control->on_;
    if (on == control->on_) return;
    control->setOn(on, true);
    control->sendActions(UIControlEventValueChanged, event);
}
