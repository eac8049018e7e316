#pragma once

// A row of a grouped table: a white rounded-rectangle segment edged in grey, its corners rounded
// where it begins or ends its section, with a text label on the left, an optional detail label on
// the right (the current choice of a link row, in blue-grey), and on the right edge an accessory
// glyph (a chevron, a checkmark) or an accessory view (a switch, a slider). Highlighted, the
// segment turns blue and the labels and glyph white.
//
// The cell lays its subviews out when its size or accessory changes; after changing the text of
// its labels, send it layoutSubviews (or reload the table) so that the text label makes room for
// the detail.

#include "platform/uikit/Forward.h"
#include "platform/uikit/UIView.h"

#include <memory>

// The cell styles, with the platform's values: a text label alone, or with a detail label on the
// right.
enum UITableViewCellStyle : int {
    UITableViewCellStyleDefault = 0,
    UITableViewCellStyleValue1 = 1,
};

// The accessory glyphs a cell draws, with the platform's values.
enum UITableViewCellAccessoryType : int {
    UITableViewCellAccessoryNone = 0,
    UITableViewCellAccessoryDisclosureIndicator = 1,
    UITableViewCellAccessoryCheckmark = 3,
};

// Whether a touched row turns blue, with the platform's values.
enum UITableViewCellSelectionStyle : int {
    UITableViewCellSelectionStyleNone = 0,
    UITableViewCellSelectionStyleBlue = 1,
};

// Where a row lies in its section, which decides which of its corners are rounded and whether a
// separator runs along its bottom.
enum class UITableViewCellGroupPosition { Alone, First, Middle, Last };

class UITableViewCell : public UIView {
public:
    CV_DECLARE_CLASS()

    // A cell of `style`, 300 × 44 points until a table places it.
    static std::shared_ptr<UITableViewCell> cellWithStyle(UITableViewCellStyle style);

    // A cell of `style` with empty labels, no accessory, blue selection, alone in its section.
    explicit UITableViewCell(UITableViewCellStyle style = UITableViewCellStyleDefault,
                             Class cls = class_());

    UITableViewCellStyle style() const { return style_; }
    // The view holding the labels, covering the cell.
    UIView* contentView() const { return contentView_.get(); }
    // The label on the left: 17-point bold black.
    UILabel* textLabel() const { return textLabel_.get(); }
    // The label on the right, 17-point blue-grey and right-aligned; nil in the default style.
    UILabel* detailTextLabel() const { return detailTextLabel_.get(); }

    UITableViewCellAccessoryType accessoryType() const { return accessoryType_; }
    void setAccessoryType(UITableViewCellAccessoryType type);
    UIView* accessoryView() const { return accessoryView_.get(); }
    // A view on the right edge instead of the accessory glyph, keeping its size and centred
    // vertically (a slider made as wide as the row spans it); nil removes it.
    void setAccessoryView(std::shared_ptr<UIView> view);
    UITableViewCellSelectionStyle selectionStyle() const { return selectionStyle_; }
    void setSelectionStyle(UITableViewCellSelectionStyle style) { selectionStyle_ = style; }
    bool isHighlighted() const { return highlighted_; }
    // Shows the row touched (blue, white text) or not.
    void setHighlighted(bool highlighted);
    UITableViewCellGroupPosition groupPosition() const { return groupPosition_; }
    // Set by the table as it places the row.
    void setGroupPosition(UITableViewCellGroupPosition position);

    // Places the content view, labels and accessory in the bounds.
    void layoutSubviews();
    // UIView's setter, followed by a new layout and background when the size changed.
    void setFrame(CGRect frame);

private:
    static id initWithFrameImplementation(id self, SEL cmd, CGRect frame);
    // The right edge the labels may reach, after placing the accessory.
    CGFloat placeAccessory();
    void redrawBackground();
    void redrawAccessoryGlyph();

    UITableViewCellStyle style_;
    std::shared_ptr<UIView> contentView_;
    std::shared_ptr<UILabel> textLabel_, detailTextLabel_;
    std::shared_ptr<UIImageView> accessoryGlyph_;
    std::shared_ptr<UIView> accessoryView_;
    UITableViewCellAccessoryType accessoryType_ = UITableViewCellAccessoryNone;
    UITableViewCellSelectionStyle selectionStyle_ = UITableViewCellSelectionStyleBlue;
    UITableViewCellGroupPosition groupPosition_ = UITableViewCellGroupPosition::Alone;
    bool highlighted_ = false;
};
