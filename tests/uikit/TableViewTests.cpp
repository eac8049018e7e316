#include "ScreenTestSupport.h"

#include "platform/quartz/CARenderer.h"
#include "platform/uikit/UILabel.h"
#include "platform/uikit/UISwitch.h"
#include "platform/uikit/UITableView.h"
#include "platform/uikit/UITableViewCell.h"

#include <gtest/gtest.h>

namespace {

// Sections of 2, 3 and 6 rows; the first has a header, the second a footer; the second's middle
// row carries a switch.
class Rows : public UITableViewDataSource, public UITableViewDelegate {
public:
    int numberOfSectionsInTableView(UITableView&) override { return int(counts.size()); }
    int numberOfRowsInSection(UITableView&, int section) override {
        return counts[size_t(section)];
    }
    std::shared_ptr<UITableViewCell> cellForRowAtIndexPath(UITableView&,
                                                           NSIndexPath path) override {
        auto cell = UITableViewCell::cellWithStyle(UITableViewCellStyleValue1);
        cell->textLabel()->setText("Row " + std::to_string(path.section) + "." +
                                   std::to_string(path.row));
        if (path.section == 1 && path.row == 1) {
            toggle = UIView::create<UISwitch>(CGRectZero);
            cell->setAccessoryView(toggle);
            cell->setSelectionStyle(UITableViewCellSelectionStyleNone);
        }
        return cell;
    }
    std::string titleForHeaderInSection(UITableView&, int section) override {
        return section == 0 ? "General" : "";
    }
    std::string titleForFooterInSection(UITableView&, int section) override {
        return section == 1 ? "Applies at the next lock." : "";
    }
    void didSelectRowAtIndexPath(UITableView&, NSIndexPath path) override {
        selected.push_back(path);
    }

    std::vector<int> counts{2, 3, 6};
    std::shared_ptr<UISwitch> toggle;
    std::vector<NSIndexPath> selected;
};

struct TableView : OnScreen {
    void SetUp() override {
        OnScreen::SetUp();
        rows = std::make_shared<Rows>();
        table = UIView::create<UITableView>(CGRectMake(0, 0, 320, 480));
        table->setDataSource(rows);
        table->setDelegate(rows);
        table->reloadData();
        window->addSubview(table);
    }
    // Where the row at `path` is on the screen now.
    CGPoint centreOf(NSIndexPath path) const {
        const CGRect r = table->rectForRowAtIndexPath(path);
        return {CGRectGetMidX(r), CGRectGetMidY(r) - table->contentOffset().y};
    }
    std::shared_ptr<Rows> rows;
    std::shared_ptr<UITableView> table;
};

TEST_F(TableView, LaysOutGroupedSectionsOfRoundedRowsWithTheirTitles) {
    ASSERT_EQ(table->numberOfSections(), 3);
    using P = UITableViewCellGroupPosition;
    const P positions[][6] = {{P::First, P::Last},
                              {P::First, P::Middle, P::Last},
                              {P::First, P::Middle, P::Middle, P::Middle, P::Middle, P::Last}};
    CGFloat previousBottom = 0;
    for (int s = 0; s < 3; ++s) {
        const CGRect first = table->rectForRowAtIndexPath({s, 0});
        EXPECT_GT(first.origin.y, previousBottom + 9) << "sections stand apart, section " << s;
        for (int r = 0; r < table->numberOfRowsInSection(s); ++r) {
            const CGRect row = table->rectForRowAtIndexPath({s, r});
            EXPECT_EQ(row, (CGRect{{10, first.origin.y + 44 * CGFloat(r)}, {300, 44}}))
                << s << "." << r;
            EXPECT_EQ(table->cellForRowAtIndexPath({s, r})->groupPosition(), positions[s][r])
                << s << "." << r;
            previousBottom = CGRectGetMaxY(row);
        }
    }
    const UILabel* header = table->headerLabelForSection(0);
    ASSERT_NE(header, nullptr);
    EXPECT_EQ(header->text(), "General");
    EXPECT_LT(CGRectGetMaxY(header->frame()), table->rectForRowAtIndexPath({0, 0}).origin.y);
    const UILabel* footer = table->footerLabelForSection(1);
    ASSERT_NE(footer, nullptr);
    EXPECT_GT(footer->frame().origin.y, CGRectGetMaxY(table->rectForRowAtIndexPath({1, 2})));
    EXPECT_LT(CGRectGetMaxY(footer->frame()), table->rectForRowAtIndexPath({2, 0}).origin.y);
    EXPECT_EQ(table->headerLabelForSection(1), nullptr);
    EXPECT_GT(table->contentSize().height, previousBottom);

    UITableViewCell* single = nullptr;
    rows->counts = {1};
    table->reloadData();
    single = table->cellForRowAtIndexPath({0, 0});
    ASSERT_NE(single, nullptr);
    EXPECT_EQ(single->groupPosition(), P::Alone);
    EXPECT_EQ(table->cellForRowAtIndexPath({0, 1}), nullptr);
}

TEST_F(TableView, ScrollsWithAVerticalDragWithinItsContent) {
    rows->counts = {8, 8, 8};
    table->reloadData();
    const CGFloat limit = table->contentSize().height - 480;
    ASSERT_GT(limit, 200);
    drag({160, 400}, {160, 300});
    EXPECT_EQ(table->contentOffset().y, 100);
    drag({160, 400}, {100, 450});  // back down by 50, any sideways move aside
    EXPECT_EQ(table->contentOffset().y, 50);
    drag({160, 470}, {160, -2000});
    EXPECT_EQ(table->contentOffset().y, limit);
    drag({160, 10}, {160, 3000});
    EXPECT_EQ(table->contentOffset().y, 0);
    table->setContentOffset({30, 20000});
    EXPECT_EQ(table->contentOffset(), (CGPoint{0, limit}));
}

TEST_F(TableView, SelectsATappedRowButNotADraggedOne) {
    UITableViewCell* cell = table->cellForRowAtIndexPath({2, 1});
    finger(UITouchPhaseBegan, centreOf({2, 1}));
    EXPECT_TRUE(cell->isHighlighted()) << "the touched row turns blue at once";
    finger(UITouchPhaseMoved, {centreOf({2, 1}).x + 2, centreOf({2, 1}).y + 2});
    finger(UITouchPhaseEnded, centreOf({2, 1}));
    EXPECT_EQ(rows->selected, std::vector<NSIndexPath>{NSIndexPath::indexPathForRow(1, 2)});
    EXPECT_TRUE(cell->isHighlighted());
    runFor(0.3);
    EXPECT_FALSE(cell->isHighlighted()) << "and back again a moment later";

    const CGPoint start = centreOf({2, 3});
    finger(UITouchPhaseBegan, start);
    finger(UITouchPhaseMoved, {start.x, start.y - 12});
    EXPECT_FALSE(table->cellForRowAtIndexPath({2, 3})->isHighlighted());
    finger(UITouchPhaseEnded, {start.x, start.y - 12});
    EXPECT_EQ(rows->selected.size(), 1u);
}

TEST_F(TableView, PassesTouchesOnARowsSwitchToTheSwitch) {
    ASSERT_TRUE(rows->toggle);
    const CGRect onScreen = rows->toggle->convertRectToView(rows->toggle->bounds(), nullptr);
    EXPECT_EQ(CGRectGetMaxX(onScreen), 300) << "the switch sits at the row's right edge";
    tap({CGRectGetMidX(onScreen), CGRectGetMidY(onScreen)});
    EXPECT_TRUE(rows->toggle->isOn());
    EXPECT_TRUE(rows->selected.empty());
    // Elsewhere on that row the tap selects it, without turning it blue.
    tap({40, CGRectGetMidY(onScreen)});
    EXPECT_EQ(rows->selected, std::vector<NSIndexPath>{NSIndexPath::indexPathForRow(1, 1)});
    EXPECT_FALSE(table->cellForRowAtIndexPath({1, 1})->isHighlighted());
    EXPECT_TRUE(rows->toggle->isOn());
}

TEST_F(TableView, ForgetsItsRowsWhenItsDataSourceHasGone) {
    rows.reset();
    table->reloadData();
    EXPECT_EQ(table->numberOfSections(), 0);
    EXPECT_EQ(table->contentSize().height, 0);
    tap({160, 30});  // no delegate to tell
}

TEST_F(TableView, DrawsWhiteRowsOverPinStripesThroughTheCompositor) {
    CARenderer renderer({320, 480}, 1);
    const CALayer* layers[] = {window->layer()};
    renderer.render(layers, RunLoop::main().now());
    const CGImageRef picture = renderer.image();
    const CGRect row = table->rectForRowAtIndexPath({2, 2});
    const CGImagePixel kBand{0xC5, 0xCC, 0xD4, 255}, kStripe{0xCB, 0xD2, 0xD8, 255};
    const size_t y = size_t(CGRectGetMidY(row));
    EXPECT_EQ(CGImageGetPixelForTesting(picture, 2, y), kBand);
    EXPECT_EQ(CGImageGetPixelForTesting(picture, 5, y), kStripe);
    EXPECT_EQ(CGImageGetPixelForTesting(picture, 317, y), kBand);  // 315 + 2
    EXPECT_EQ(CGImageGetPixelForTesting(picture, 290, y), (CGImagePixel{255, 255, 255, 255}));
    // The edge of the group, and a separator between two rows.
    const CGImagePixel edge = CGImageGetPixelForTesting(picture, 10, y);
    EXPECT_LT(edge.r, 200);
    const CGImagePixel separator =
        CGImageGetPixelForTesting(picture, 200, size_t(CGRectGetMaxY(row)) - 1);
    EXPECT_LT(separator.r, 200);
}

}  // namespace
