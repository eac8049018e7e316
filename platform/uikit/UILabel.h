#pragma once

// A view showing a block of text in DejaVu Sans. The label draws its text into its layer's
// contents, an image of its bounds at the screen's scale, whenever the text, its style or the
// label's size change; the lines it needs are centred vertically in the bounds, and only the
// lines that fit show. Like the platform's, a label takes no touches of its own.
//
// The size is watched through the label's own setFrame and setBounds: UIView's geometry setters
// are not sent through the method tables, so a label resized through a plain UIView pointer keeps
// its old picture (stretched) until something else about it changes.

#include "platform/graphics/CGContext.h"
#include "platform/uikit/UIView.h"

#include <string>

// Text alignment, with the platform's values.
enum UITextAlignment : int {
    UITextAlignmentLeft = 0,
    UITextAlignmentCenter = 1,
    UITextAlignmentRight = 2,
};

// The line-break modes a label draws, with the platform's values.
enum UILineBreakMode : int {
    UILineBreakModeWordWrap = 0,
    UILineBreakModeTailTruncation = 4,
};

class UILabel : public UIView {
public:
    CV_DECLARE_CLASS()

    // An empty label: 17-point regular black text, left-aligned, one line, tail truncation, no
    // background, and no user interaction.
    explicit UILabel(Class cls = class_());

    const std::string& text() const { return text_; }
    // The UTF-8 text shown; a newline always starts a new line.
    void setText(std::string text);
    CGFloat fontSize() const { return style_.fontSize; }
    void setFontSize(CGFloat size);
    CGTextWeight fontWeight() const { return style_.weight; }
    void setFontWeight(CGTextWeight weight);
    const UIColorRef& textColor() const { return textColor_; }
    // The colour of the text; nil means black.
    void setTextColor(UIColorRef color);
    const UIColorRef& highlightedTextColor() const { return highlightedTextColor_; }
    // The colour of the text while highlighted; nil keeps the text colour.
    void setHighlightedTextColor(UIColorRef color);
    bool isHighlighted() const { return highlighted_; }
    // Whether the label shows its highlighted text colour (a selected table row's labels do).
    void setHighlighted(bool highlighted);
    const UIColorRef& shadowColor() const { return shadowColor_; }
    // The colour of a copy of the text drawn behind it at the shadow offset; nil for none.
    void setShadowColor(UIColorRef color);
    CGSize shadowOffset() const { return shadowOffset_; }
    // Where the shadow lies from the text, in points (down and to the right are positive).
    void setShadowOffset(CGSize offset);
    UITextAlignment textAlignment() const { return alignment_; }
    void setTextAlignment(UITextAlignment alignment);
    UILineBreakMode lineBreakMode() const { return lineBreakMode_; }
    // Word wrap drops the text that does not fit in the lines; tail truncation ends the last line
    // that shows with an ellipsis.
    void setLineBreakMode(UILineBreakMode mode);
    int numberOfLines() const { return numberOfLines_; }
    // The most lines shown; 0 for as many as the text needs (and the height allows).
    void setNumberOfLines(int lines);

    // The size the text needs within `size`'s width, rounded up to whole points (its height is
    // not a limit); the zero size for no text.
    CGSize sizeThatFits(CGSize size) const;
    // Resizes the label to what its text needs at its present width, keeping its origin; a label
    // of one line takes the width of its text.
    void sizeToFit();

    // UIView's setters, followed by a new picture when the size has changed.
    void setFrame(CGRect frame);
    void setBounds(CGRect bounds);

private:
    void redraw();
    CGTextBlockLayout blockLayout() const;
    // The lines that fit in `height`, as limited by numberOfLines.
    int lineLimit(CGFloat height) const;

    std::string text_;
    CGTextStyle style_;
    UIColorRef textColor_;
    UIColorRef highlightedTextColor_;
    UIColorRef shadowColor_;
    CGSize shadowOffset_{0, -1};
    bool highlighted_ = false;
    UITextAlignment alignment_ = UITextAlignmentLeft;
    UILineBreakMode lineBreakMode_ = UILineBreakModeTailTruncation;
    int numberOfLines_ = 1;
};
