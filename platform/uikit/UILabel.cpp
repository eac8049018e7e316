#include "platform/uikit/UILabel.h"

#include "platform/uikit/UIKitArtwork.h"

#include <algorithm>
#include <cmath>

CV_REGISTER_CLASS(UILabel, UIView)

namespace {

// A width no line reaches: what "as wide as the text" is measured against.
constexpr CGFloat kUnlimitedWidth = 1e6f;

CGTextAlignment textAlignmentOf(UITextAlignment alignment) {
    switch (alignment) {
        case UITextAlignmentCenter:
            return CGTextAlignment::Center;
        case UITextAlignmentRight:
            return CGTextAlignment::Right;
        default:
            return CGTextAlignment::Left;
    }
}

}  // namespace

UILabel::UILabel(Class cls) : UIView(cls) {
    style_.alignment = CGTextAlignment::Left;
    setUserInteractionEnabled(false);
}

void UILabel::setText(std::string text) {
    text_ = std::move(text);
    redraw();
}

void UILabel::setFontSize(CGFloat size) {
    style_.fontSize = size;
    redraw();
}

void UILabel::setFontWeight(CGTextWeight weight) {
    style_.weight = weight;
    redraw();
}

void UILabel::setTextColor(UIColorRef color) {
    textColor_ = std::move(color);
    redraw();
}

void UILabel::setHighlightedTextColor(UIColorRef color) {
    highlightedTextColor_ = std::move(color);
    if (highlighted_) redraw();
}

void UILabel::setHighlighted(bool highlighted) {
    if (highlighted_ == highlighted) return;
    highlighted_ = highlighted;
    redraw();
}

void UILabel::setShadowColor(UIColorRef color) {
    shadowColor_ = std::move(color);
    redraw();
}

void UILabel::setShadowOffset(CGSize offset) {
    shadowOffset_ = offset;
    redraw();
}

void UILabel::setTextAlignment(UITextAlignment alignment) {
    alignment_ = alignment;
    style_.alignment = textAlignmentOf(alignment);
    redraw();
}

void UILabel::setLineBreakMode(UILineBreakMode mode) {
    lineBreakMode_ = mode;
    redraw();
}

void UILabel::setNumberOfLines(int lines) {
    numberOfLines_ = std::max(lines, 0);
    redraw();
}

void UILabel::setFrame(CGRect frame) {
    const CGSize before = bounds().size;
    UIView::setFrame(frame);
    if (!(bounds().size == before)) redraw();
}

void UILabel::setBounds(CGRect bounds) {
    const CGSize before = this->bounds().size;
    UIView::setBounds(bounds);
    if (!(this->bounds().size == before)) redraw();
}

CGTextBlockLayout UILabel::blockLayout() const {
    CGTextBlockLayout layout;
    layout.lineBreakMode = lineBreakMode_ == UILineBreakModeWordWrap
                               ? CGLineBreakMode::WordWrap
                               : CGLineBreakMode::TruncateTail;
    layout.maximumLines = numberOfLines_;
    return layout;
}

int UILabel::lineLimit(CGFloat height) const {
    const CGFloat lineHeight = CGTextGetLineHeight(style_);
    int fitting = 1;
    if (lineHeight > 0) fitting = std::max(1, int(std::floor((height + 0.01f) / lineHeight)));
    return numberOfLines_ > 0 ? std::min(fitting, numberOfLines_) : fitting;
}

CGSize UILabel::sizeThatFits(CGSize size) const {
    const CGFloat width = size.width > 0 ? size.width : kUnlimitedWidth;
    return CGTextMeasureBlock(text_, width, style_, blockLayout());
}

void UILabel::sizeToFit() {
    const CGFloat width = numberOfLines_ == 1 ? kUnlimitedWidth : bounds().size.width;
    CGRect frame = this->frame();
    frame.size = sizeThatFits({width, 0});
    setFrame(frame);
}

void UILabel::redraw() {
    const CGSize size = bounds().size;
    if (text_.empty() || !(size.width > 0) || !(size.height > 0)) {
        layer()->setContents(nullptr);
        return;
    }
    CGTextBlockLayout layout = blockLayout();
    layout.maximumLines = lineLimit(size.height);
    const CGSize needed = CGTextMeasureBlock(text_, size.width, style_, layout);
    // The lines that show, centred vertically as the platform's labels are.
    const CGRect textRect{{0, std::floor((size.height - needed.height) / 2)},
                          {size.width, needed.height}};
    UIColorRef color = textColor_ ? textColor_ : UIColor::blackColor();
    if (highlighted_ && highlightedTextColor_) color = highlightedTextColor_;
    const UIImageRef image = UIArtworkImage(size, [&](const CGContextRef& ctx) {
        CGTextStyle style = style_;
        if (shadowColor_) {
            style.color = shadowColor_->CGColor();
            const CGRect shadowRect{
                {textRect.origin.x + shadowOffset_.width, textRect.origin.y + shadowOffset_.height},
                textRect.size};
            CGContextShowTextBlockInRect(ctx, text_, shadowRect, style, layout);
        }
        style.color = color->CGColor();
        CGContextShowTextBlockInRect(ctx, text_, textRect, style, layout);
    });
    layer()->setContents(image ? image->CGImage() : nullptr);
}
