#pragma once

// Views: a rectangle of the screen with its own coordinates, drawn by its layer. A view owns its
// subviews (and its layer owns theirs in the same order); the superview is a plain back-pointer
// that the superview clears when it lets the view go. Geometry, alpha and hidden live in the layer
// as model values; inside an animation block a change of frame, bounds, center, transform or
// alpha also adds an animation that takes the drawn value from where it was to the new one.
//
// initWithFrame:, hitTest:withEvent:, pointInside:withEvent: and setHidden: are sent through the
// method tables (as the touch messages are, see UIResponder), so that subclasses made at run time
// and replaced implementations take part.

#include "platform/graphics/CGGeometry.h"
#include "platform/quartz/CALayer.h"
#include "platform/uikit/Forward.h"
#include "platform/uikit/UIColor.h"
#include "platform/uikit/UIResponder.h"
#include "platform/uikit/UIViewAnimation.h"

#include <functional>
#include <memory>
#include <vector>

// The messages a view receives through the tables.
namespace UIViewMessage {
inline constinit const Message<id(CGRect frame)> initWithFrame{"initWithFrame:"};
inline constinit const Message<UIView*(CGPoint point, UIEvent* event)> hitTest{
    "hitTest:withEvent:"};
inline constinit const Message<bool(CGPoint point, UIEvent* event)> pointInside{
    "pointInside:withEvent:"};
inline constinit const Message<void(bool hidden)> setHidden{"setHidden:"};
}  // namespace UIViewMessage

class UIView : public UIResponder {
public:
    CV_DECLARE_CLASS()

    // A new view of class T (UIView or a subclass made with `args`), then sent initWithFrame:
    // `frame`; null when the initialiser answers nil.
    template <typename T = UIView, typename... Args>
    static std::shared_ptr<T> create(CGRect frame, Args&&... args);

    // A view with a zero frame and a layer of its own; send it initWithFrame: (or use create).
    explicit UIView(Class cls = class_());
    ~UIView() override;

    // Sends initWithFrame: through the table; answers what the initialiser returns (the view, or
    // nil when it failed). The platform's own implementation sets the frame.
    id initWithFrame(CGRect frame);
    // Sends hitTest:withEvent:: the deepest visible, interactive view under `point` (in this
    // view's coordinates), front-most subviews first; nil when the point is outside or the view is
    // hidden, nearly transparent (alpha below 0.01) or not interactive.
    UIView* hitTest(CGPoint point, UIEvent* event);
    // Sends pointInside:withEvent:: whether `point` lies in the bounds.
    bool pointInside(CGPoint point, UIEvent* event);
    // Sends setHidden:.
    void setHidden(bool hidden);

    // Geometry, model values.
    CGRect frame() const { return layer_->frame(); }
    void setFrame(CGRect frame);
    CGRect bounds() const { return layer_->bounds(); }
    void setBounds(CGRect bounds);
    CGPoint center() const { return layer_->position(); }
    void setCenter(CGPoint center);
    CGAffineTransform transform() const { return layer_->affineTransform(); }
    void setTransform(CGAffineTransform transform);
    CGFloat alpha() const { return layer_->opacity(); }
    void setAlpha(CGFloat alpha);
    bool isHidden() const { return layer_->isHidden(); }
    const UIColorRef& backgroundColor() const { return backgroundColor_; }
    // The colour filling the bounds behind the content and subviews; nil for none.
    void setBackgroundColor(UIColorRef color);
    bool isUserInteractionEnabled() const { return userInteractionEnabled_; }
    void setUserInteractionEnabled(bool enabled) { userInteractionEnabled_ = enabled; }
    bool isMultipleTouchEnabled() const { return multipleTouchEnabled_; }
    // Whether the view receives every finger or only the first (the default); recognisers on it
    // see every finger either way.
    void setMultipleTouchEnabled(bool enabled) { multipleTouchEnabled_ = enabled; }
    bool clipsToBounds() const { return layer_->masksToBounds(); }
    void setClipsToBounds(bool clips) { layer_->setMasksToBounds(clips); }
    int tag() const { return tag_; }
    void setTag(int tag) { tag_ = tag; }
    // This view or the first descendant (depth first) with `tag`; nil when none.
    UIView* viewWithTag(int tag);

    // The hierarchy.
    UIView* superview() const { return superview_; }
    const std::vector<std::shared_ptr<UIView>>& subviews() const { return subviews_; }
    // The window at the root of the view's hierarchy; nil when the root is not a window.
    UIWindow* window() const;
    // Adds `view` in front of the other subviews, taking it from its old superview.
    void addSubview(const std::shared_ptr<UIView>& view);
    // Inserts `view` at `index` of the subviews (back to front), clamped to their number.
    void insertSubview(const std::shared_ptr<UIView>& view, size_t index);
    // Inserts `view` just behind `sibling`; at the front when `sibling` is not a subview.
    void insertSubviewBelowSubview(const std::shared_ptr<UIView>& view, const UIView* sibling);
    // Inserts `view` just in front of `sibling`; at the front when `sibling` is not a subview.
    void insertSubviewAboveSubview(const std::shared_ptr<UIView>& view, const UIView* sibling);
    // Takes the view out of its superview (which may release it); nothing without a superview.
    void removeFromSuperview();
    // Moves a subview in front of (or behind) its siblings; nothing for any other view.
    void bringSubviewToFront(const UIView* view);
    void sendSubviewToBack(const UIView* view);
    // Whether `view` is this view or one of its ancestors.
    bool isDescendantOfView(const UIView* view) const;
    // A shared handle on this view; null when it is not owned by a shared_ptr.
    std::shared_ptr<UIView> sharedFromThis();

    // The layer that draws the view; it lives as long as the view.
    CALayer* layer() const { return layer_.get(); }
    const std::shared_ptr<CALayer>& layerRef() const { return layer_; }

    // Converts between this view's coordinates and `view`'s; a nil `view` means this view's
    // window (or the root of its hierarchy). Transforms of every view on the way count.
    CGPoint convertPointToView(CGPoint point, const UIView* view) const;
    CGPoint convertPointFromView(CGPoint point, const UIView* view) const;
    CGRect convertRectToView(CGRect rect, const UIView* view) const;
    CGRect convertRectFromView(CGRect rect, const UIView* view) const;
    // Converts between this view's coordinates and the screen's.
    CGPoint convertPointToScreen(CGPoint point) const;
    CGPoint convertPointFromScreen(CGPoint point) const;

    // The recognisers attached to the view, which it owns.
    const std::vector<std::shared_ptr<UIGestureRecognizer>>& gestureRecognizers() const {
        return recognizers_;
    }
    // Attaches `recognizer` (detaching it from any other view).
    void addGestureRecognizer(const std::shared_ptr<UIGestureRecognizer>& recognizer);
    void removeGestureRecognizer(const UIGestureRecognizer* recognizer);

    // The controller whose view this is, or nil; set by the controller.
    UIViewController* viewController() const { return viewController_; }
    void setViewController(UIViewController* controller) { viewController_ = controller; }
    // The view's controller if it has one, else the superview.
    UIResponder* nextResponder() const override;

    // Animation blocks: see UIViewAnimation for what each does.
    static void beginAnimations(const char* animationID, void* context) {
        UIViewAnimation::beginAnimations(animationID, context);
    }
    static void commitAnimations() { UIViewAnimation::commitAnimations(); }
    static void setAnimationDuration(double seconds) {
        UIViewAnimation::setAnimationDuration(seconds);
    }
    static void setAnimationDelay(double seconds) { UIViewAnimation::setAnimationDelay(seconds); }
    static void setAnimationCurve(UIViewAnimationCurve curve) {
        UIViewAnimation::setAnimationCurve(curve);
    }
    static void setAnimationDelegate(id delegate) {
        UIViewAnimation::setAnimationDelegate(delegate);
    }
    static void setAnimationDidStopSelector(SEL selector) {
        UIViewAnimation::setAnimationDidStopSelector(selector);
    }
    static void setAnimationBeginsFromCurrentState(bool fromCurrent) {
        UIViewAnimation::setAnimationBeginsFromCurrentState(fromCurrent);
    }
    static void setAnimationsEnabled(bool enabled) {
        UIViewAnimation::setAnimationsEnabled(enabled);
    }
    static bool areAnimationsEnabled() { return UIViewAnimation::areAnimationsEnabled(); }
    static void animateWithDuration(double seconds, std::function<void()> animations,
                                    std::function<void(bool)> completion = {}) {
        UIViewAnimation::animateWithDuration(seconds, std::move(animations), std::move(completion));
    }
    static void animateWithDuration(double seconds, double delay, UIViewAnimationOptions options,
                                    std::function<void()> animations,
                                    std::function<void(bool)> completion = {}) {
        UIViewAnimation::animateWithDuration(seconds, delay, options, std::move(animations),
                                             std::move(completion));
    }

protected:
    // The platform's implementations, registered as the IMPs of UIView; a subclass's own
    // implementation calls them as its superclass's.
    static id initWithFrameImplementation(id self, SEL cmd, CGRect frame);
    static UIView* hitTestImplementation(id self, SEL cmd, CGPoint point, UIEvent* event);
    static bool pointInsideImplementation(id self, SEL cmd, CGPoint point, UIEvent* event);
    static void setHiddenImplementation(id self, SEL cmd, bool hidden);

private:
    // Sets a layer property, recording its change when an animation block is open.
    void changeLayer(const char* keyPath, const CAValue& value);
    // The transform from this view's coordinates to the screen's.
    CGAffineTransform transformToScreen() const;
    void detachSubview(UIView* view);
    size_t indexOfSubview(const UIView* view) const;
    void placeSubview(const std::shared_ptr<UIView>& view, size_t index);

    std::shared_ptr<CALayer> layer_;
    UIView* superview_ = nullptr;
    std::vector<std::shared_ptr<UIView>> subviews_;
    std::vector<std::shared_ptr<UIGestureRecognizer>> recognizers_;
    UIViewController* viewController_ = nullptr;
    UIColorRef backgroundColor_;
    bool userInteractionEnabled_ = true;
    bool multipleTouchEnabled_ = false;
    int tag_ = 0;
};

template <typename T, typename... Args>
std::shared_ptr<T> UIView::create(CGRect frame, Args&&... args) {
    auto view = std::make_shared<T>(std::forward<Args>(args)...);
    return view->initWithFrame(frame) ? view : nullptr;
}

// The frame of `view`; the zero rectangle for nil, as a message to nil answers zero.
inline CGRect frameOf(const UIView* view) {
    return view ? view->frame() : CGRectZero;
}
