#pragma once

// A view showing an image, scaled to fill its bounds. The image is the layer's contents.

#include "platform/uikit/UIImage.h"
#include "platform/uikit/UIView.h"

class UIImageView : public UIView {
public:
    CV_DECLARE_CLASS()

    // initWithImage:: a new image view of class T (UIImageView or a subclass made with `args`),
    // framed at the origin with the image's size in points and showing it; nil gives an empty view
    // with a zero frame. It is sent initWithFrame: like any view; null when that answers nil.
    template <typename T = UIImageView, typename... Args>
    static std::shared_ptr<T> createWithImage(UIImageRef image, Args&&... args);

    // An image view without an image and, unlike a plain view, without user interaction.
    explicit UIImageView(Class cls = class_());

    const UIImageRef& image() const { return image_; }
    // Shows `image` (nil shows nothing); the frame stays as it is.
    void setImage(UIImageRef image);

private:
    UIImageRef image_;
};

template <typename T, typename... Args>
std::shared_ptr<T> UIImageView::createWithImage(UIImageRef image, Args&&... args) {
    const CGSize size = image ? image->size() : CGSizeZero;
    auto view = UIView::create<T>(CGRect{CGPointZero, size}, std::forward<Args>(args)...);
    if (view) view->setImage(std::move(image));
    return view;
}
