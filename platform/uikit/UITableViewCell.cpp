#include "platform/uikit/UITableViewCell.h"

#include "platform/uikit/UIImageView.h"
#include "platform/uikit/UIKitArtwork.h"
#include "platform/uikit/UILabel.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr CGFloat kCornerRadius = 10;
constexpr CGFloat kPadding = 10;
// The accessory glyph's box at the right edge, and the gap between it and the labels.
constexpr CGFloat kGlyphWidth = 20, kGlyphGap = 3;

constexpr uint32_t kEdge = 0xABABAB, kFill = 0xFFFFFF;
constexpr uint32_t kHighlightTop = 0x058CF5, kHighlightBottom = 0x015EE6;
constexpr uint32_t kDetailText = 0x385487, kChevron = 0x7F7F7F, kCheckmark = 0x324F85;

bool roundsTop(UITableViewCellGroupPosition position) {
    return position == UITableViewCellGroupPosition::Alone ||
           position == UITableViewCellGroupPosition::First;
}

bool roundsBottom(UITableViewCellGroupPosition position) {
    return position == UITableViewCellGroupPosition::Alone ||
           position == UITableViewCellGroupPosition::Last;
}

// The segment: grey edge, white (or blue) inside. The edge shows along the top only where the
// section begins; every row's bottom edge is the section's edge or the separator above the next.
void drawSegment(const CGContextRef& ctx, CGSize size, UITableViewCellGroupPosition position,
                 bool highlighted) {
    const UIArtworkCorners corners{roundsTop(position) ? kCornerRadius : 0,
                                   roundsBottom(position) ? kCornerRadius : 0};
    UIArtworkFillRoundedRect(ctx, {CGPointZero, size}, corners, kEdge, kEdge);
    const CGFloat top = roundsTop(position) ? 1 : 0;
    const CGRect inside{{1, top}, {size.width - 2, size.height - top - 1}};
    const UIArtworkCorners insideCorners{std::max<CGFloat>(corners.top - 1, 0),
                                         std::max<CGFloat>(corners.bottom - 1, 0)};
    UIArtworkFillRoundedRect(ctx, inside, insideCorners, highlighted ? kHighlightTop : kFill,
                             highlighted ? kHighlightBottom : kFill);
}

std::shared_ptr<UILabel> makeLabel(CGTextWeight weight, uint32_t color, UITextAlignment alignment) {
    auto label = UIView::create<UILabel>(CGRectZero);
    label->setFontWeight(weight);
    label->setTextColor(UIColor::colorWithCGColor(UIArtworkColor(color)));
    label->setHighlightedTextColor(UIColor::whiteColor());
    label->setTextAlignment(alignment);
    return label;
}

}  // namespace

Class UITableViewCell::class_() {
    static const Class cls = objc_defineClass(
        "UITableViewCell", UIView::class_(),
        {UIViewMessage::initWithFrame.implementedBy(&initWithFrameImplementation)});
    return cls;
}

std::shared_ptr<UITableViewCell> UITableViewCell::cellWithStyle(UITableViewCellStyle style) {
    return UIView::create<UITableViewCell>({{0, 0}, {300, 44}}, style);
}

UITableViewCell::UITableViewCell(UITableViewCellStyle style, Class cls)
    : UIView(cls),
      style_(style),
      contentView_(UIView::create(CGRectZero)),
      textLabel_(makeLabel(CGTextWeight::Bold, 0x000000, UITextAlignmentLeft)),
      accessoryGlyph_(UIView::create<UIImageView>(CGRectZero)) {
    addSubview(contentView_);
    contentView_->addSubview(textLabel_);
    if (style == UITableViewCellStyleValue1) {
        detailTextLabel_ = makeLabel(CGTextWeight::Regular, kDetailText, UITextAlignmentRight);
        contentView_->addSubview(detailTextLabel_);
    }
    addSubview(accessoryGlyph_);
}

id UITableViewCell::initWithFrameImplementation(id self, SEL cmd, CGRect frame) {
    auto* cell =
        static_cast<UITableViewCell*>(UIView::initWithFrameImplementation(self, cmd, frame));
    if (cell) {
        cell->layoutSubviews();
        cell->redrawBackground();
    }
    return cell;
}

void UITableViewCell::setFrame(CGRect frame) {
    const CGSize before = bounds().size;
    UIView::setFrame(frame);
    if (bounds().size == before) return;
    layoutSubviews();
    redrawBackground();
}

void UITableViewCell::setAccessoryType(UITableViewCellAccessoryType type) {
    accessoryType_ = type;
    redrawAccessoryGlyph();
    layoutSubviews();
}

void UITableViewCell::setAccessoryView(std::shared_ptr<UIView> view) {
    if (accessoryView_) accessoryView_->removeFromSuperview();
    accessoryView_ = std::move(view);
    if (accessoryView_) addSubview(accessoryView_);
    layoutSubviews();
}

void UITableViewCell::setHighlighted(bool highlighted) {
    if (highlighted_ == highlighted) return;
    highlighted_ = highlighted;
    textLabel_->setHighlighted(highlighted);
    if (detailTextLabel_) detailTextLabel_->setHighlighted(highlighted);
    redrawBackground();
    redrawAccessoryGlyph();
}

void UITableViewCell::setGroupPosition(UITableViewCellGroupPosition position) {
    if (groupPosition_ == position) return;
    groupPosition_ = position;
    redrawBackground();
}

// Layout.

CGFloat UITableViewCell::placeAccessory() {
    const CGSize size = bounds().size;
    accessoryGlyph_->setHidden(accessoryView_ || accessoryType_ == UITableViewCellAccessoryNone);
    if (accessoryView_) {
        // Moved by its centre, so that a control keeps the size it insists on; whole points keep
        // it sharp.
        const CGSize own = accessoryView_->bounds().size;
        const CGFloat x = std::round(size.width - kPadding - own.width);
        const CGFloat y = std::floor((size.height - own.height) / 2);
        accessoryView_->setCenter({x + own.width / 2, y + own.height / 2});
        return x - kPadding;
    }
    if (accessoryType_ == UITableViewCellAccessoryNone) return size.width - kPadding;
    const CGRect glyph{{size.width - kPadding - kGlyphWidth, 0}, {kGlyphWidth, size.height}};
    accessoryGlyph_->setFrame(glyph);
    redrawAccessoryGlyph();
    return glyph.origin.x - kGlyphGap;
}

void UITableViewCell::layoutSubviews() {
    const CGSize size = bounds().size;
    contentView_->setFrame({CGPointZero, size});
    const CGFloat right = placeAccessory();
    const CGFloat available = std::max<CGFloat>(right - kPadding, 0);
    CGFloat textWidth = available;
    if (detailTextLabel_) {
        detailTextLabel_->setFrame({{kPadding, 0}, {available, size.height}});
        const CGFloat detail = detailTextLabel_->sizeThatFits({available, 0}).width;
        if (detail > 0) textWidth = std::max<CGFloat>(available - detail - kPadding, 0);
    }
    textLabel_->setFrame({{kPadding, 0}, {textWidth, size.height}});
}

// Drawing.

void UITableViewCell::redrawBackground() {
    const CGSize size = bounds().size;
    const UIImageRef image = UIArtworkImage(size, [&](const CGContextRef& ctx) {
        drawSegment(ctx, size, groupPosition_, highlighted_);
    });
    layer()->setContents(image ? image->CGImage() : nullptr);
}

void UITableViewCell::redrawAccessoryGlyph() {
    const CGSize size = accessoryGlyph_->bounds().size;
    const auto type = accessoryType_;
    const bool highlighted = highlighted_;
    accessoryGlyph_->setImage(UIArtworkImage(size, [&](const CGContextRef& ctx) {
        const CGRect box{CGPointZero, size};
        if (type == UITableViewCellAccessoryDisclosureIndicator) {
            UIArtworkChevron(ctx, box, highlighted ? 0xFFFFFF : kChevron);
        } else if (type == UITableViewCellAccessoryCheckmark) {
            UIArtworkCheckmark(ctx, box, highlighted ? 0xFFFFFF : kCheckmark);
        }
    }));
}
