#include "platform/uikit/UITableView.h"

#include "platform/foundation/RunLoop.h"
#include "platform/uikit/UIKitArtwork.h"
#include "platform/uikit/UILabel.h"
#include "platform/uikit/UITableViewCell.h"
#include "platform/uikit/UITouchSet.h"

#include <algorithm>
#include <cmath>

namespace {

// The grouped style's measures, in points.
constexpr CGFloat kSideInset = 10;
constexpr CGFloat kSectionGap = 10;
constexpr CGFloat kTitleInset = 19;
constexpr CGFloat kHeaderTop = 14, kHeaderBottom = 6;
constexpr CGFloat kFooterTop = 6, kFooterBottom = 4;
constexpr uint32_t kTitleColor = 0x4C566C;

// How far a finger may move and still tap; past it, it drags.
constexpr CGFloat kTapSlop = 5;
constexpr double kSelectionFlashSeconds = 0.25;

// Where a section's title stands: above its rows or below them.
enum class TitlePlace { Header, Footer };

std::shared_ptr<UILabel> titleLabel(const std::string& title, TitlePlace place) {
    if (title.empty()) return nullptr;
    const bool header = place == TitlePlace::Header;
    auto label = UIView::create<UILabel>(CGRectZero);
    label->setText(title);
    label->setFontSize(header ? 17 : 15);
    label->setFontWeight(header ? CGTextWeight::Bold : CGTextWeight::Regular);
    label->setTextAlignment(header ? UITextAlignmentLeft : UITextAlignmentCenter);
    label->setNumberOfLines(0);
    label->setLineBreakMode(UILineBreakModeWordWrap);
    label->setTextColor(UIColor::colorWithCGColor(UIArtworkColor(kTitleColor)));
    label->setShadowColor(UIColor::whiteColor());
    label->setShadowOffset({0, 1});
    return label;
}

UITableViewCellGroupPosition positionOf(size_t row, size_t rows) {
    if (rows == 1) return UITableViewCellGroupPosition::Alone;
    if (row == 0) return UITableViewCellGroupPosition::First;
    return row + 1 == rows ? UITableViewCellGroupPosition::Last
                           : UITableViewCellGroupPosition::Middle;
}

}  // namespace

Class UITableView::class_() {
    static const Class cls = objc_defineClass(
        "UITableView", UIView::class_(),
        {UIViewMessage::initWithFrame.implementedBy(&initWithFrameImplementation),
         UIResponderMessage::touchesBegan.implementedBy(&touchesBeganImplementation),
         UIResponderMessage::touchesMoved.implementedBy(&touchesMovedImplementation),
         UIResponderMessage::touchesEnded.implementedBy(&touchesEndedImplementation),
         UIResponderMessage::touchesCancelled.implementedBy(&touchesCancelledImplementation)});
    return cls;
}

UITableView::UITableView(Class cls)
    : UIView(cls),
      content_(UIView::create(CGRectZero)) {
    setClipsToBounds(true);
    addSubview(content_);
    setBackgroundColor(UIColor::pinStripeColor());
}

void UITableView::setDataSource(std::weak_ptr<UITableViewDataSource> dataSource) {
    dataSource_ = std::move(dataSource);
}

void UITableView::setDelegate(std::weak_ptr<UITableViewDelegate> delegate) {
    delegate_ = std::move(delegate);
}

id UITableView::initWithFrameImplementation(id self, SEL cmd, CGRect frame) {
    auto* table = static_cast<UITableView*>(UIView::initWithFrameImplementation(self, cmd, frame));
    if (table) table->sizeDidChange();
    return table;
}

void UITableView::setFrame(CGRect frame) {
    const CGSize before = bounds().size;
    UIView::setFrame(frame);
    if (!(bounds().size == before)) sizeDidChange();
}

void UITableView::sizeDidChange() { layoutSections(); }

// Loading and layout.

void UITableView::reloadData() {
    for (const Section& section : sections_) {
        if (section.header) section.header->removeFromSuperview();
        if (section.footer) section.footer->removeFromSuperview();
        for (const auto& cell : section.rows) cell->removeFromSuperview();
    }
    sections_.clear();
    press_ = {};
    if (auto dataSource = dataSource_.lock()) {
        const int count = dataSource->numberOfSectionsInTableView(*this);
        for (int s = 0; s < count; ++s) sections_.push_back(loadSection(*dataSource, s));
    }
    layoutSections();
}

UITableView::Section UITableView::loadSection(UITableViewDataSource& dataSource, int section) {
    Section loaded;
    loaded.header =
        titleLabel(dataSource.titleForHeaderInSection(*this, section), TitlePlace::Header);
    loaded.footer =
        titleLabel(dataSource.titleForFooterInSection(*this, section), TitlePlace::Footer);
    if (loaded.header) content_->addSubview(loaded.header);
    if (loaded.footer) content_->addSubview(loaded.footer);
    const int rows = std::max(dataSource.numberOfRowsInSection(*this, section), 0);
    for (int row = 0; row < rows; ++row) {
        auto cell =
            dataSource.cellForRowAtIndexPath(*this, NSIndexPath::indexPathForRow(row, section));
        if (!cell) cell = UITableViewCell::cellWithStyle(UITableViewCellStyleDefault);
        content_->addSubview(cell);
        loaded.rows.push_back(std::move(cell));
    }
    return loaded;
}

CGFloat UITableView::placeLabel(UILabel& label, CGFloat y) const {
    const CGFloat width = std::max<CGFloat>(bounds().size.width - 2 * kTitleInset, 0);
    const CGFloat height = label.sizeThatFits({width, 0}).height;
    label.setFrame({{kTitleInset, y}, {width, height}});
    return height;
}

void UITableView::layoutSections() {
    const CGFloat width = bounds().size.width;
    CGFloat y = 0;
    for (const Section& section : sections_) {
        y += section.header
                 ? kHeaderTop + placeLabel(*section.header, y + kHeaderTop) + kHeaderBottom
                 : kSectionGap;
        for (size_t row = 0; row < section.rows.size(); ++row) {
            UITableViewCell& cell = *section.rows[row];
            cell.setFrame({{kSideInset, y}, {width - 2 * kSideInset, kRowHeight}});
            cell.setGroupPosition(positionOf(row, section.rows.size()));
            cell.layoutSubviews();
            y += kRowHeight;
        }
        y += section.footer
                 ? kFooterTop + placeLabel(*section.footer, y + kFooterTop) + kFooterBottom
                 : kSectionGap;
    }
    contentHeight_ = sections_.empty() ? 0 : y;
    setContentOffset(contentOffset_);
}

// Geometry.

int UITableView::numberOfRowsInSection(int section) const {
    if (section < 0 || section >= numberOfSections()) return 0;
    return int(sections_[size_t(section)].rows.size());
}

UITableViewCell* UITableView::cellForRowAtIndexPath(NSIndexPath indexPath) const {
    if (indexPath.row < 0 || indexPath.row >= numberOfRowsInSection(indexPath.section)) {
        return nullptr;
    }
    return sections_[size_t(indexPath.section)].rows[size_t(indexPath.row)].get();
}

CGRect UITableView::rectForRowAtIndexPath(NSIndexPath indexPath) const {
    return frameOf(cellForRowAtIndexPath(indexPath));
}

std::optional<NSIndexPath> UITableView::indexPathForRowAtPoint(CGPoint point) const {
    for (size_t s = 0; s < sections_.size(); ++s) {
        const auto& rows = sections_[s].rows;
        for (size_t r = 0; r < rows.size(); ++r) {
            if (CGRectContainsPoint(rows[r]->frame(), point)) {
                return NSIndexPath::indexPathForRow(int(r), int(s));
            }
        }
    }
    return std::nullopt;
}

UILabel* UITableView::headerLabelForSection(int section) const {
    if (section < 0 || section >= numberOfSections()) return nullptr;
    return sections_[size_t(section)].header.get();
}

UILabel* UITableView::footerLabelForSection(int section) const {
    if (section < 0 || section >= numberOfSections()) return nullptr;
    return sections_[size_t(section)].footer.get();
}

CGSize UITableView::contentSize() const {
    return {bounds().size.width, contentHeight_};
}

void UITableView::setContentOffset(CGPoint offset) {
    const CGSize size = bounds().size;
    const CGFloat limit = std::max<CGFloat>(contentHeight_ - size.height, 0);
    contentOffset_ = {0, std::clamp<CGFloat>(offset.y, 0, limit)};
    content_->setFrame(
        {{0, -contentOffset_.y}, {size.width, std::max(contentHeight_, size.height)}});
}

// Touches: those on the rows, headers and backdrop come up the responder chain to the table.

void UITableView::showPressedRow(RowLook look) {
    if (!press_.row) return;
    UITableViewCell* cell = cellForRowAtIndexPath(*press_.row);
    if (cell && cell->selectionStyle() != UITableViewCellSelectionStyleNone) {
        cell->setHighlighted(look == RowLook::Highlighted);
    }
}

void UITableView::selectRow(NSIndexPath indexPath) {
    // Keep the table alive: the delegate may let it go.
    const auto keep = weak_from_this().lock();
    if (UITableViewCell* cell = cellForRowAtIndexPath(indexPath)) {
        const std::weak_ptr<UIView> flashed = cell->sharedFromThis();
        RunLoop::main().scheduleAfter(clockTimeFromSeconds(kSelectionFlashSeconds), [flashed] {
            if (auto view = flashed.lock())
                static_cast<UITableViewCell*>(view.get())->setHighlighted(false);
        });
    }
    if (auto delegate = delegate_.lock()) delegate->didSelectRowAtIndexPath(*this, indexPath);
}

void UITableView::touchesBeganImplementation(id self, SEL, const UITouchSet* touches, UIEvent*) {
    auto* table = static_cast<UITableView*>(self);
    UITouch* touch = touches->anyObject();
    if (!touch || table->press_.touch) return;
    const CGPoint p = touch->locationInView(table);
    table->press_ = {.touch = touch,
                     .start = p,
                     .startOffset = table->contentOffset_.y,
                     .row = table->indexPathForRowAtPoint({p.x, p.y + table->contentOffset_.y})};
    table->showPressedRow(RowLook::Highlighted);
}

void UITableView::touchesMovedImplementation(id self, SEL, const UITouchSet* touches, UIEvent*) {
    auto* table = static_cast<UITableView*>(self);
    Press& press = table->press_;
    if (!press.touch || !touches->containsObject(press.touch)) return;
    const CGPoint p = press.touch->locationInView(table);
    const CGFloat dy = p.y - press.start.y;
    if (!press.dragging && std::hypot(p.x - press.start.x, dy) > kTapSlop) {
        table->showPressedRow(RowLook::Plain);
        press.dragging = true;
    }
    if (press.dragging) table->setContentOffset({0, press.startOffset - dy});
}

void UITableView::touchesEndedImplementation(id self, SEL, const UITouchSet* touches, UIEvent*) {
    auto* table = static_cast<UITableView*>(self);
    const Press press = table->press_;
    if (!press.touch || !touches->containsObject(press.touch)) return;
    table->press_ = {};
    if (!press.dragging && press.row) table->selectRow(*press.row);
}

void UITableView::touchesCancelledImplementation(id self, SEL, const UITouchSet* touches,
                                                 UIEvent*) {
    auto* table = static_cast<UITableView*>(self);
    if (!table->press_.touch || !touches->containsObject(table->press_.touch)) return;
    table->showPressedRow(RowLook::Plain);
    table->press_ = {};
}
