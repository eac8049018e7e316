#pragma once

// A table in the grouped style, as settings screens use: sections of 44-point rows on rounded
// white segments inset 10 points from the sides, each section with an optional header (bold
// grey-blue text with a white shadow) above it and footer (smaller, centred) below, all over
// pin stripes. The rows come from a data source and touches on them are told to a delegate; both
// are small interfaces the table holds weakly.
//
// The table scrolls its content vertically: a finger dragged up or down moves the content offset
// with it, within the content's height. A finger that goes down on a row and lifts without moving
// more than a few points selects it: the row turns blue (unless its selection style is none), the
// delegate hears of it, and a quarter of a second later the row turns back. A finger that goes
// down on a row's switch or slider works that control instead.

#include "platform/uikit/Forward.h"
#include "platform/uikit/UIView.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

// The place of a row: its section and its row within the section.
struct NSIndexPath {
    int section = 0;
    int row = 0;

    static NSIndexPath indexPathForRow(int row, int section) { return {section, row}; }
    bool operator==(const NSIndexPath&) const = default;
};

// What a table shows, asked when it loads its data.
class UITableViewDataSource {
public:
    virtual ~UITableViewDataSource() = default;
    // How many sections the table has; one unless answered otherwise.
    virtual int numberOfSectionsInTableView(UITableView& tableView) { return 1; }
    // How many rows `section` has.
    virtual int numberOfRowsInSection(UITableView& tableView, int section) = 0;
    // The cell showing the row at `indexPath`; a null answer shows an empty row.
    virtual std::shared_ptr<UITableViewCell> cellForRowAtIndexPath(UITableView& tableView,
                                                                   NSIndexPath indexPath) = 0;
    // The text above (below) `section`; empty for none.
    virtual std::string titleForHeaderInSection(UITableView& tableView, int section) { return {}; }
    virtual std::string titleForFooterInSection(UITableView& tableView, int section) { return {}; }
};

// What a table tells about touches on its rows.
class UITableViewDelegate {
public:
    virtual ~UITableViewDelegate() = default;
    // A finger tapped the row at `indexPath`.
    virtual void didSelectRowAtIndexPath(UITableView& tableView, NSIndexPath indexPath) {}
};

class UITableView : public UIView {
public:
    CV_DECLARE_CLASS()

    // The height of every row.
    static constexpr CGFloat kRowHeight = 44;

    // An empty table on pin stripes, clipping its content to its bounds.
    explicit UITableView(Class cls = class_());

    // The data source and delegate, held weakly; the table asks nothing until reloadData.
    void setDataSource(std::weak_ptr<UITableViewDataSource> dataSource);
    void setDelegate(std::weak_ptr<UITableViewDelegate> delegate);
    // Asks the data source for everything anew and lays the sections out; with no data source
    // left the table is empty. The content offset stays, clamped to the new content.
    void reloadData();

    int numberOfSections() const { return int(sections_.size()); }
    // How many rows `section` has; 0 for a section that does not exist.
    int numberOfRowsInSection(int section) const;
    // The cell of the row at `indexPath`; nil for a row that does not exist.
    UITableViewCell* cellForRowAtIndexPath(NSIndexPath indexPath) const;
    // The frame of the row at `indexPath` in the content's coordinates (the table's own with the
    // content offset added); the zero rect for a row that does not exist.
    CGRect rectForRowAtIndexPath(NSIndexPath indexPath) const;
    // The row under `point` in the content's coordinates, if any.
    std::optional<NSIndexPath> indexPathForRowAtPoint(CGPoint point) const;
    // The header (footer) label of `section`; nil when it has no title.
    UILabel* headerLabelForSection(int section) const;
    UILabel* footerLabelForSection(int section) const;

    // How far the content is scrolled: the content point shown at the table's top-left corner.
    CGPoint contentOffset() const { return contentOffset_; }
    // Scrolls to `offset`, its y clamped to [0, content height - bounds height] and its x to 0.
    void setContentOffset(CGPoint offset);
    // The size of everything the table lays out.
    CGSize contentSize() const;

    // UIView's setter, followed by a new layout when the size changed.
    void setFrame(CGRect frame);

private:
    struct Section {
        std::shared_ptr<UILabel> header, footer;
        std::vector<std::shared_ptr<UITableViewCell>> rows;
    };

    // The finger being followed, from touch-down to lift.
    struct Press {
        // Which finger it is; cleared when that finger lifts or is cancelled.
        const UITouch* touch = nullptr;
        bool dragging = false;
        CGPoint start;
        CGFloat startOffset = 0;
        std::optional<NSIndexPath> row;
    };

    static id initWithFrameImplementation(id self, SEL cmd, CGRect frame);
    static void touchesBeganImplementation(id self, SEL cmd, const UITouchSet* touches,
                                           UIEvent* event);
    static void touchesMovedImplementation(id self, SEL cmd, const UITouchSet* touches,
                                           UIEvent* event);
    static void touchesEndedImplementation(id self, SEL cmd, const UITouchSet* touches,
                                           UIEvent* event);
    static void touchesCancelledImplementation(id self, SEL cmd, const UITouchSet* touches,
                                               UIEvent* event);

    // Fits the sections to new bounds.
    void sizeDidChange();
    Section loadSection(UITableViewDataSource& dataSource, int section);
    void layoutSections();
    // Places a header or footer label at `y`, answering the height it takes.
    CGFloat placeLabel(UILabel& label, CGFloat y) const;
    // How the row under a pressing finger looks: highlighted while the finger may tap it.
    enum class RowLook { Plain, Highlighted };
    void showPressedRow(RowLook look);
    // Tells the delegate, and lets the row's highlight go a moment later.
    void selectRow(NSIndexPath indexPath);

    std::weak_ptr<UITableViewDataSource> dataSource_;
    std::weak_ptr<UITableViewDelegate> delegate_;
    std::shared_ptr<UIView> content_;
    std::vector<Section> sections_;
    CGFloat contentHeight_ = 0;
    CGPoint contentOffset_;
    Press press_;
};
