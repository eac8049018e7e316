#include "platform/uikit/UIImageView.h"

CV_REGISTER_CLASS(UIImageView, UIView)

UIImageView::UIImageView(Class cls) : UIView(cls) {
    setUserInteractionEnabled(false);
}

void UIImageView::setImage(UIImageRef image) {
    image_ = std::move(image);
    layer()->setContents(image_ ? image_->CGImage() : nullptr);
}
